// The tree file: the tree in pre-order, one token per line, CR LF line ends. An inner node is its
// axis letter followed by its two children; a leaf is the decimal position of its object in the
// object list the tree was made from. Example: a, b, c split on x into {a} and {b, c}, then on z:
// "X", "0", "Z", "1", "2".

#include <charconv>
#include <chrono>
#include <fstream>
#include <optional>
#include <random>
#include <stdexcept>
#include <system_error>

#include "collision/BOPAxisNodes.h"
#include "collision/BOPLeaf.h"
#include "collision/BOPTree.h"
#include "platform/EGL.h"
#include "platform/LogFile.h"

namespace qv {

namespace {

// Longest line worth reading: any index or letter is far shorter, so a longer line is an error
// found without holding the whole line in memory.
constexpr std::size_t kMaxLineLength = 64;

// Lines of a text file, one at a time, ended by CR LF, LF or a lone CR; the last line needs no end.
class TLineReader {
 public:
  explicit TLineReader(const std::filesystem::path& file)
      : file_(file), in_(file, std::ios::binary) {
    if (!in_) throw EGL("cannot open tree file " + file.string());
  }

  // The next line, or nothing at the end of the file.
  std::optional<std::string> Next() {
    std::streambuf& buffer = *in_.rdbuf();
    if (buffer.sgetc() == std::char_traits<char>::eof()) return std::nullopt;
    ++lineNumber_;
    std::string line;
    for (;;) {
      const int c = buffer.sbumpc();
      if (c == std::char_traits<char>::eof() || c == '\n') break;
      if (c == '\r') {
        if (buffer.sgetc() == '\n') buffer.sbumpc();
        break;
      }
      if (line.size() == kMaxLineLength)
        throw EGL(Where() + "line is longer than " + std::to_string(kMaxLineLength) +
                  " characters");
      line.push_back(static_cast<char>(c));
    }
    return line;
  }

  std::string Where() const {
    return "tree file " + file_.string() + ", line " + std::to_string(lineNumber_) + ": ";
  }
  int LineNumber() const { return lineNumber_; }

 private:
  std::filesystem::path file_;
  std::ifstream in_;
  int lineNumber_ = 0;
};

class TTreeReader {
 public:
  TTreeReader(const T3dObjectList& objects, const std::filesystem::path& file)
      : objects_(objects), file_(file), lines_(file), seen_(objects.Count(), false) {}

  // The whole tree, which must hold every object exactly once: a file written for another model
  // (an older copy of the level put back, a second model in the same folder) reads without error
  // but would lose objects from every query.
  std::unique_ptr<TBOPNode> ReadTree() {
    std::unique_ptr<TBOPNode> root = ReadNode(0);
    if (leaves_ != objects_.Count())
      throw EGL("tree file " + file_.string() + " holds " + std::to_string(leaves_) + " of the " +
                std::to_string(objects_.Count()) + " objects");
    return root;
  }

  std::unique_ptr<TBOPNode> ReadNode(int depth) {
    if (depth > TBOPTree::MaxFileDepth)
      throw EGL(lines_.Where() + "the tree nests deeper than " +
                std::to_string(TBOPTree::MaxFileDepth) + " levels");
    const std::optional<std::string> line = lines_.Next();
    if (!line)
      throw std::out_of_range("tree file " + file_.string() + " ends after line " +
                              std::to_string(lines_.LineNumber()) + " before the tree is complete");
    if (line->size() == 1) {
      if (const TBOPAxisClass* axis = BOPAxisForLetter((*line)[0])) {
        std::unique_ptr<TBOPNode> first = ReadNode(depth + 1);
        std::unique_ptr<TBOPNode> second = ReadNode(depth + 1);
        return axis->Create(std::move(first), std::move(second));
      }
    }
    const int index = ParseIndex(*line);
    if (index < 0 || index >= objects_.Count())
      throw std::out_of_range(lines_.Where() + "object index " + std::to_string(index) +
                              " is outside 0.." + std::to_string(objects_.Count() - 1));
    if (seen_[index])
      throw EGL(lines_.Where() + "object index " + std::to_string(index) + " appears twice");
    seen_[index] = true;
    ++leaves_;
    T3dObject* object = objects_.Get(index);
    if (!object) throw EGL(lines_.Where() + "object " + std::to_string(index) + " is missing");
    return std::make_unique<TBOPLeaf>(*object, index);
  }

 private:
  // An optional sign and decimal digits, nothing else; a value beyond int is not an index either.
  int ParseIndex(const std::string& line) const {
    std::size_t digits = line.size() > 0 && (line[0] == '+' || line[0] == '-') ? 1 : 0;
    bool valid = digits < line.size();
    for (std::size_t i = digits; i < line.size(); ++i)
      if (line[i] < '0' || line[i] > '9') valid = false;
    int value = 0;
    if (valid) {
      const char* begin = line.data() + (line[0] == '+' ? 1 : 0);  // from_chars takes no "+"
      valid = std::from_chars(begin, line.data() + line.size(), value).ec == std::errc();
    }
    if (!valid)
      throw EGL(lines_.Where() + "\"" + line + "\" is neither an axis letter nor an object index");
    return value;
  }

  const T3dObjectList& objects_;
  std::filesystem::path file_;
  TLineReader lines_;
  std::vector<bool> seen_;  // per object: already in a leaf
  int leaves_ = 0;
};

}  // namespace

std::unique_ptr<TBOPTree> TBOPTree::Load(const T3dObjectList& objects,
                                         const std::filesystem::path& file, TBOPKinds kinds) {
  const auto start = std::chrono::steady_clock::now();
  if (objects.Count() == 0) throw EGL("tree in File is shit");
  std::unique_ptr<TBOPTree> tree(new TBOPTree(kinds, TBOPOrigin::Reloaded));
  {
    TTreeReader reader(objects, file);
    tree->root_ = reader.ReadTree();
  }
  tree->Flatten();
  tree->FillNames(objects);
  tree->elapsedMs_ = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start)
                         .count();
  GlobalLog().Log("reload time:" + std::to_string(tree->elapsedMs_) + " tree");
  return tree;
}

void TBOPTree::SaveToFile(const std::filesystem::path& file) const {
  std::vector<std::string> lines;
  root_->SaveTo(names_, lines);
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }

  // A name of our own beside the real file: the rename below then stays within one file system.
  std::random_device random;
  std::filesystem::path temporary = file;
  temporary += ".tmp" + std::to_string(random() % 1000000000u);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (out) out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw EGL("cannot write tree file " + temporary.string());
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw EGL("cannot replace tree file " + file.string() + ": " + error.message());
  }
}

}  // namespace qv
