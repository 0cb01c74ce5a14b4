// "Entries changed": whoever writes or deletes an entry file says so here,
// and every view of the entries (the month grid's colours, the day panel,
// an open schedule list) refreshes once, however many files one action
// touched.
#ifndef MIROKATA_BASE_ENTRY_CHANGES_H_
#define MIROKATA_BASE_ENTRY_CHANGES_H_

#include <QObject>

namespace mirokata {

class EntryChanges : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Called after the write or delete; the views refresh from the event
  // loop, once for all the notices of one action.
  void Notify();

 signals:
  void Changed();

 private:
  bool pending_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_BASE_ENTRY_CHANGES_H_
