// ICMP echo requests and the check of a reply, as a ping socket
// (SOCK_DGRAM, IPPROTO_ICMP or IPPROTO_ICMPV6) sends and receives them:
// the ICMP message alone, no IP header; the kernel fills in the
// identifier and the checksum.
#ifndef MIROKATA_PLATFORM_PING_PACKET_H_
#define MIROKATA_PLATFORM_PING_PACKET_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace mirokata {

inline constexpr int kPingPayloadBytes = 56;
inline constexpr int kPingTimeToLive = 64;
inline constexpr int kPingTimeoutMs = 1000;

// The request: type 8 (IPv4) or 128 (IPv6), code 0, the sequence number,
// then the 56-byte payload (a fixed text padded with spaces).
std::string EchoRequest(bool ipv6, uint16_t sequence);

// True when `packet` is the echo reply (type 0, or 129 for IPv6) with this
// sequence number.
bool IsEchoReply(std::string_view packet, bool ipv6, uint16_t sequence);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_PING_PACKET_H_
