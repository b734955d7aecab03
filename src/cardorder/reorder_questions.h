#pragma once

#include <string>

#include "cardorder/drive_order.h"
#include "cardorder/work_folder.h"

namespace cardorder {

// The refusal on a drive that keeps names sorted, naming the folder.
std::string sortedDriveText(const std::string& folder);

// The question before the command: the folder, the count, and where the
// drive could not be told, that it could not.
std::string confirmationText(const std::string& folder, int count, DriveOrder order);

// The offer at a listing to finish what a run left: the work folder and how
// many entries wait in it.
std::string offerText(const PendingWork& pending);
// What is said instead when the work folder's list cannot be read.
std::string unreadableListText(const PendingWork& pending);

}  // namespace cardorder
