/* minIni glue for Windows: reads files named in UTF-8 (the way Lazrine
 * holds every path) through the wide-character file functions. Lazrine only
 * reads through minIni; it writes profile files itself, crash-safely. */
#ifndef LAZRINE_MINGLUE_H
#define LAZRINE_MINGLUE_H

#include <stdio.h>
#include <stdlib.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

static inline FILE *lazrine_ini_open(const char *name, const wchar_t *mode) {
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, NULL, 0);
  if (n <= 0) return NULL;
  wchar_t *wide = (wchar_t *)malloc(sizeof(wchar_t) * (size_t)n);
  if (wide == NULL) return NULL;
  FILE *file = NULL;
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wide, n) == n) file = _wfopen(wide, mode);
  free(wide);
  return file;
}

#define INI_FILETYPE                    FILE*
#define ini_openread(filename,file)     ((*(file) = lazrine_ini_open((filename), L"rb")) != NULL)
#define ini_close(file)                 (fclose(*(file)) == 0)
#define ini_read(buffer,size,file)      (fgets((buffer),(size),*(file)) != NULL)

#define INI_FILEPOS                     long int
#define ini_tell(file,pos)              (*(pos) = ftell(*(file)))
#define ini_seek(file,pos)              (fseek(*(file), *(pos), SEEK_SET) == 0)

#define INI_READONLY
#define INI_NOFLOAT

#endif
