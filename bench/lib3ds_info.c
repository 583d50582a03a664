/* The baseline for the whole-process comparison: loads a .3ds file with lib3ds (Debian's
 * lib3ds-dev 1.3) and prints the listing `qv-tool info` prints. lib3ds keeps no face-material
 * groups, so "groups" counts the distinct material names its faces carry. */

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <stdio.h>
#include <string.h>

static unsigned CountGroups(const Lib3dsMesh* mesh) {
  const char* distinct[256];
  unsigned groups = 0;
  for (Lib3dsDword i = 0; i < mesh->faces; ++i) {
    const char* name = mesh->faceL[i].material;
    int seen = name[0] == 0;
    for (unsigned j = 0; j < groups && !seen; ++j) seen = strcmp(distinct[j], name) == 0;
    if (!seen && groups < 256) distinct[groups++] = name;
  }
  return groups;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: lib3ds_info FILE.3ds\n");
    return 2;
  }
  Lib3dsFile* file = lib3ds_file_load(argv[1]);
  if (!file) {
    fprintf(stderr, "error: %s: lib3ds could not load it\n", argv[1]);
    return 1;
  }
  for (Lib3dsMesh* m = file->meshes; m; m = m->next) {
    printf("mesh %s vertices=%u faces=%u texcoords=%u groups=%u hidden=%d\n", m->name,
           (unsigned)m->points, (unsigned)m->faces, (unsigned)m->texels, CountGroups(m),
           (m->object_flags & LIB3DS_OBJECT_HIDDEN) ? 1 : 0);
  }
  for (Lib3dsMaterial* m = file->materials; m; m = m->next) {
    printf("material %s texture=%s\n", m->name, m->texture1_map.name);
  }
  lib3ds_file_free(file);
  return 0;
}
