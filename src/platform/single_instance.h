// Making sure only one copy of the program runs for a user.
#ifndef MIROKATA_PLATFORM_SINGLE_INSTANCE_H_
#define MIROKATA_PLATFORM_SINGLE_INSTANCE_H_

namespace mirokata {

// A named lock held for the life of the process.
class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // True when this process now holds the lock; false when another running
  // process does. A lock left by a process that died is taken over. When
  // the lock cannot be made at all (a folder without write access) the
  // answer is true: better two copies than none.
  virtual bool TryAcquire() = 0;
  // Gives the lock up (also done by the destructor).
  virtual void Release() = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_SINGLE_INSTANCE_H_
