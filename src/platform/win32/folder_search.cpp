#include "platform/folder_search.h"

#include <windows.h>

#include <utility>

#include "platform/win32/filetime.h"
#include "platform/win32/handles.h"
#include "platform/win32/long_path.h"
#include "platform/win32/utf.h"

namespace platform {

namespace {

using win32::fromFiletime;

// Most names are ASCII, whose UTF-8 is the same units as bytes: copied
// straight into the entry's string; any other name goes through narrow().
void assignName(const wchar_t* name, std::string& out) {
  std::size_t length = 0;
  bool ascii = true;
  for (; name[length] != L'\0'; ++length) ascii = ascii && name[length] < 0x80;
  if (!ascii) {
    out = narrow(std::wstring_view(name, length));
    return;
  }
  out.resize(length);
  for (std::size_t i = 0; i < length; ++i) out[i] = static_cast<char>(name[i]);
}

void fill(const WIN32_FIND_DATAW& data, FoundEntry& entry) {
  assignName(data.cFileName, entry.name);
  entry.attributes = data.dwFileAttributes;
  entry.lastWriteUtc = fromFiletime(data.ftLastWriteTime);
}

using FindHandle = win32::UniqueFindHandle;

class FindSearch final : public FolderSearch {
 public:
  FindSearch(FindHandle find, const WIN32_FIND_DATAW& first)
      : find_(std::move(find)), data_(first) {}

  bool next(FoundEntry& entry) override {
    // The first entry came with the open; the following ones are asked for.
    if (firstPending_) {
      firstPending_ = false;
    } else if (!FindNextFileW(find_.get(), &data_)) {
      return false;  // the end, or an error: not told apart
    }
    fill(data_, entry);
    return true;
  }

 private:
  FindHandle find_;
  WIN32_FIND_DATAW data_;
  bool firstPending_ = true;
};

}  // namespace

std::unique_ptr<FolderSearch> openFolderSearch(std::string_view pattern) {
  if (pattern.find('\0') != std::string_view::npos) return nullptr;
  WIN32_FIND_DATAW data;
  // Basic information leaves out the short 8.3 name, which nothing here uses;
  // the large fetch asks the file system for many entries per call.
  HANDLE first = FindFirstFileExW(win32::toWinPath(std::string(pattern)).c_str(), FindExInfoBasic,
                                  &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (first == INVALID_HANDLE_VALUE) return nullptr;
  FindHandle find(first);
  return std::make_unique<FindSearch>(std::move(find), data);
}

}  // namespace platform
