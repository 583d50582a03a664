// libFuzzer target for the replay input reader. The bytes are read as an input file; the reader
// must either refuse them with TInputError naming the file and line, or give items that read back
// unchanged from the lines FormatInputItem writes for them, and whose events turn into window
// messages and back without change.
//
// QV_WRITE_SEEDS=DIR fuzz_input -runs=0 writes seed files into DIR first: the demo recordings and
// a file naming every kind of item.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Events.h"
#include "shell/InputFile.h"

namespace {

using namespace qv;

bool Same(const TInputItem& x, const TInputItem& y) {
  return x.kind == y.kind && x.a == y.a && x.b == y.b && x.file == y.file;
}

std::string Text(const std::vector<TInputItem>& items) {
  std::string text = std::string(kInputHeader) + "\n";
  for (const TInputItem& item : items) text += FormatInputItem(item) + "\n";
  return text;
}

void WriteSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  for (const auto& entry : std::filesystem::directory_iterator(QV_SOURCE_DIR "/demos"))
    if (entry.path().extension() == ".txt")
      std::filesystem::copy_file(entry.path(), dir / entry.path().filename(),
                                 std::filesystem::copy_options::overwrite_existing);
  const std::vector<TInputItem> every = {
      {TInputKind::Seed, 4294967295LL, 0, "", 0}, {TInputKind::KeyDown, 65, 0, "", 0},
      {TInputKind::KeyUp, 254, 0, "", 0},         {TInputKind::ButtonDown, 4, 0, "", 0},
      {TInputKind::ButtonUp, 1, 0, "", 0},        {TInputKind::Mouse, -32768, 32767, "", 0},
      {TInputKind::Size, 16384, 0, "", 0},        {TInputKind::Frame, 3600000, 0, "", 0},
      {TInputKind::Shot, 0, 0, "a b.png", 0}};
  std::ofstream(dir / "every.txt", std::ios::binary) << "# every item\r\n"
                                                     << Text(every) << "\n\t# the end\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("QV_WRITE_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<TInputItem> items;
  try {
    items = ReadInput(in, "fuzz.txt");
  } catch (const TInputError& e) {
    if (std::string(e.what()).rfind("fuzz.txt:", 0) != 0) std::abort();
    return 0;
  }
  std::istringstream written(Text(items));
  const std::vector<TInputItem> again = ReadInput(written, "written.txt");
  if (again.size() != items.size()) std::abort();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!Same(items[i], again[i])) std::abort();
    TMessage message;
    TInputItem back;
    if (MessageOf(items[i], message) && (!InputItemOf(message, back) || !Same(back, items[i])))
      std::abort();
  }
  return 0;
}
