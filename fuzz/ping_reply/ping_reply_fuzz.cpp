// Any bytes as a received ICMP message: the reply check must not read past
// the packet and must accept only the reply type with our sequence.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/ping_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view packet(reinterpret_cast<const char*>(data), size);
  for (bool ipv6 : {false, true}) {
    for (uint16_t sequence : {uint16_t(0), uint16_t(1), uint16_t(0xFFFF)}) {
      if (!mirokata::IsEchoReply(packet, ipv6, sequence)) continue;
      if (size < 8) abort();
      if (data[0] != (ipv6 ? 129 : 0)) abort();
      if (((data[6] << 8) | data[7]) != sequence) abort();
    }
  }
  return 0;
}
