#include "hand_over/hand_over.h"

#include "base/bytes.h"

namespace tavrel {
namespace {

constexpr std::uint8_t kMagic[4] = {'T', 'V', 'H', '1'};
constexpr std::uint32_t kRun = 0x1, kExit = 0x2;
// More than any path and any command line Windows takes.
constexpr std::uint32_t kLongestText = 4 * 32768;

}  // namespace

std::vector<std::uint8_t> SerializeHandOver(const HandOver& handOver) {
  ByteWriter w;
  w.Raw(kMagic);
  w.U32((handOver.run ? kRun : 0) | (handOver.exit ? kExit : 0));
  w.U32(static_cast<std::uint32_t>(handOver.show));
  w.Text(std::string_view(handOver.program));
  w.Text(std::string_view(handOver.font));
  w.Text(std::string_view(handOver.arguments));
  return w.Take();
}

std::optional<HandOver> ParseHandOver(std::span<const std::uint8_t> bytes) {
  ByteReader r(bytes, kLongestText);
  HandOver handOver;
  std::uint32_t flags = 0, show = 0;
  if (!r.Expect(kMagic) || !r.U32(flags) || !r.U32(show) || show > static_cast<std::uint32_t>(ShowState::Maximized) ||
      !r.Text(handOver.program) || !r.Text(handOver.font) || !r.Text(handOver.arguments) || !r.AtEnd()) {
    return std::nullopt;
  }
  handOver.run = (flags & kRun) != 0;
  handOver.exit = (flags & kExit) != 0;
  handOver.show = static_cast<ShowState>(show);
  return handOver;
}

}  // namespace tavrel
