/* A real Windows console program for the launch tests: appends how it was started (its name,
   each argument and its working folder, tab-separated) to the file named by
   QUARX_STANDIN_LOG, as the sample disc's script stand-ins do. A host path ("/tmp/x") is
   reached through Wine's Z: drive. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
  const char* log = getenv("QUARX_STANDIN_LOG");
  char path[2048];
  char folder[2048];
  FILE* out;
  int i;
  if (!log || !*log) {
    printf("Windows stand-in program of the sample disc\n");
    return 0;
  }
  if (log[0] == '/') {
    char* p;
    snprintf(path, sizeof path, "Z:%s", log);
    for (p = path; *p; ++p)
      if (*p == '/') *p = '\\';
  } else {
    snprintf(path, sizeof path, "%s", log);
  }
  out = fopen(path, "ab");
  if (!out) return 2;
  fputs(argv[0], out);
  for (i = 1; i < argc; ++i) fprintf(out, "\t%s", argv[i]);
  if (!GetCurrentDirectoryA(sizeof folder, folder)) folder[0] = 0;
  fprintf(out, "\t@%s\n", folder);
  fclose(out);
  return 0;
}
