// Paths of files beside the plug-in and in the Windows system folder, for
// everything the plug-in loads or reads by full path.
#pragma once

// The file-name part of a path: what follows the last backslash, or the
// whole path when it has none.
const char *fileNamePart(const char *path);

// Fills buffer with the plug-in's own folder followed by name. Returns false,
// leaving an empty text, when the result does not fit.
bool pluginFolderPath(const char *name, char *buffer, int size);

// Fills buffer with the Windows system folder followed by '\\' and name.
// Returns false, leaving an empty text, when the result does not fit.
bool systemFolderPath(const char *name, char *buffer, int size);
