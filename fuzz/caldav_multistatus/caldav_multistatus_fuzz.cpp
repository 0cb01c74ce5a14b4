// Multistatus answers come from any server: the reader must take any
// bytes, and every member it keeps must lie inside the collection.
#include <cstddef>
#include <cstdint>

#include "sync/multistatus.h"

#define CHECK(cond)                \
  do {                             \
    if (!(cond)) __builtin_trap(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray body(reinterpret_cast<const char*>(data),
                        static_cast<qsizetype>(size));
  const QUrl collection("https://dav.example/user/cal/");
  const mirokata::Multistatus m = mirokata::ReadMultistatus(body, collection);
  CHECK(m.ok == m.error.isEmpty());
  CHECK(m.members.size() <= mirokata::kMaxMultistatusResponses);
  for (const mirokata::DavMember& member : m.members) {
    CHECK(!member.name.contains('/'));
    CHECK(member.name != "." && member.name != "..");
    CHECK(member.etag.size() <= mirokata::kMaxEtagBytes);
  }
  return 0;
}
