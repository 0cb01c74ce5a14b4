#include "base/entry_changes.h"

#include <QTimer>

namespace mirokata {

void EntryChanges::Notify() {
  if (pending_) return;
  pending_ = true;
  QTimer::singleShot(0, this, [this] {
    pending_ = false;
    emit Changed();
  });
}

}  // namespace mirokata
