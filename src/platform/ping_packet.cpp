#include "platform/ping_packet.h"

namespace mirokata {
namespace {

constexpr char kPayloadText[] = "Mirokata reachability check echo request data";
constexpr size_t kHeaderBytes = 8;

}  // namespace

std::string EchoRequest(bool ipv6, uint16_t sequence) {
  std::string packet(kHeaderBytes, '\0');
  packet[0] = char(ipv6 ? 128 : 8);
  packet[6] = char(sequence >> 8);
  packet[7] = char(sequence & 0xFF);
  std::string payload(kPingPayloadBytes, ' ');
  const std::string_view text(kPayloadText);
  payload.replace(0, std::min(text.size(), payload.size()), text);
  return packet + payload;
}

bool IsEchoReply(std::string_view packet, bool ipv6, uint16_t sequence) {
  if (packet.size() < kHeaderBytes) return false;
  const auto byte = [&](size_t i) {
    return static_cast<unsigned>(static_cast<unsigned char>(packet[i]));
  };
  if (byte(0) != (ipv6 ? 129u : 0u) || byte(1) != 0) return false;
  return ((byte(6) << 8) | byte(7)) == sequence;
}

}  // namespace mirokata
