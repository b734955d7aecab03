#include "cardorder/reorder_questions.h"

#include "cardorder/reorder_messages.h"

namespace cardorder {

std::string sortedDriveText(const std::string& folder) {
  return std::string(messages::kSortsNames) + folder;
}

std::string confirmationText(const std::string& folder, int count, DriveOrder order) {
  std::string text(messages::kConfirmFolder);
  text += folder;
  text += messages::kConfirmCount;
  text += std::to_string(count);
  text += messages::kConfirmAction;
  if (order == DriveOrder::Unknown) text += messages::kConfirmUnknownDrive;
  text += messages::kConfirmQuestion;
  return text;
}

std::string unreadableListText(const PendingWork& pending) {
  return std::string(messages::kListUnreadable) + pending.workFolder;
}

std::string offerText(const PendingWork& pending) {
  std::string text(messages::kOfferToFinish);
  text += pending.workFolder;
  text += messages::kOfferWaiting;
  text += std::to_string(pending.waiting.size());
  text += messages::kOfferQuestion;
  return text;
}

}  // namespace cardorder
