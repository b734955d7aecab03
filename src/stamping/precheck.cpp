#include "stamping/precheck.h"

#include "folderlist/row_messages.h"
#include "stamping/run_messages.h"

namespace stamping {

std::string precheckMessage(const folderlist::ListEntry& row, const std::string& path,
                            platform::FileOps& fs) {
  if (!row.isFile() && !row.isFolder()) return {};
  std::string message;
  if (fs.readAttributes(path) & platform::kAttrReadOnly) message = readOnlyMessage(row);
  const bool exists = row.isFile() ? fs.fileExists(path) : fs.folderExists(path);
  if (!exists) message = folderlist::missingRowMessage(row);
  return message;
}

}  // namespace stamping
