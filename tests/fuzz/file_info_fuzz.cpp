// FILEINFO.dat as it comes: six names, each from one line and within the
// name buffer.

#include "fuzz/reader_calls.h"

using namespace velm::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  PrepareWorkingDirectory();
  WriteFile("FILEINFO.dat", AsText(data, size));
  try {
    const velm::FileInfo files = ReadFileInfo();
    for (int entry = 1; entry <= 6; ++entry) {
      const std::string& name = files.Name(static_cast<velm::FileEntry>(entry));
      Check(name.size() <= velm::FileInfo::kMaxNameLength, "name fits");
      Check(name.find('\n') == name.npos, "a name is one line");
    }
  } catch (const velm::InputError&) {
  }
  return 0;
}
