#ifndef CIRCARRAY_TEXTIO_INPUT_FILE_H_
#define CIRCARRAY_TEXTIO_INPUT_FILE_H_

#include <fstream>
#include <string>

namespace textio {

// Opens the data file `name` for reading only (it is never created).
// Returns false if it cannot be read. A directory counts as unreadable: it
// opens on this system but yields no bytes, and is never what was meant.
bool OpenInputFile(const std::string& name, std::ifstream* file);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_INPUT_FILE_H_
