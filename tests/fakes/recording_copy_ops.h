#pragma once

// The system's copy operations, recording which files were removed: Windows
// (and Wine) only mark a file for deletion while a handle to it stays open,
// so only the call itself shows the removal was asked for in time.

#include <string>
#include <vector>

#include "fakes/forwarding_copy_ops.h"

namespace fakes {

class RecordingCopyOps : public ForwardingCopyOps {
 public:
  using ForwardingCopyOps::ForwardingCopyOps;

  const std::vector<std::string>& removed() const { return removed_; }

  OsErrorCode removeFile(const std::string& path) override {
    removed_.push_back(path);
    return real_.removeFile(path);
  }

 private:
  std::vector<std::string> removed_;
};

}  // namespace fakes
