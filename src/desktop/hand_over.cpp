#include "desktop/hand_over.h"

#include <algorithm>
#include <iterator>

namespace tavrel {
namespace {

constexpr std::uint8_t kMagic[4] = {'T', 'V', 'H', '1'};
constexpr std::uint32_t kRun = 0x1, kExit = 0x2;
// More than any path and any command line Windows takes.
constexpr std::uint32_t kLongestText = 4 * 32768;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
  PutU32(out, static_cast<std::uint32_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool U32(std::uint32_t& v) {
    if (bytes_.size() - at_ < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes_[at_ + i]) << (8 * i);
    at_ += 4;
    return true;
  }
  bool Text(std::string& text) {
    std::uint32_t size = 0;
    if (!U32(size) || size > kLongestText || bytes_.size() - at_ < size) return false;
    text.assign(bytes_.begin() + at_, bytes_.begin() + at_ + size);
    at_ += size;
    return true;
  }
  bool Magic() {
    if (bytes_.size() < sizeof kMagic || !std::equal(std::begin(kMagic), std::end(kMagic), bytes_.begin())) {
      return false;
    }
    at_ = sizeof kMagic;
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
  size_t at_ = 0;
};

}  // namespace

std::vector<std::uint8_t> SerializeHandOver(const HandOver& handOver) {
  std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
  PutU32(out, (handOver.run ? kRun : 0) | (handOver.exit ? kExit : 0));
  PutU32(out, static_cast<std::uint32_t>(handOver.show));
  PutText(out, handOver.program);
  PutText(out, handOver.font);
  PutText(out, handOver.arguments);
  return out;
}

std::optional<HandOver> ParseHandOver(std::span<const std::uint8_t> bytes) {
  Reader r(bytes);
  HandOver handOver;
  std::uint32_t flags = 0, show = 0;
  if (!r.Magic() || !r.U32(flags) || !r.U32(show) || show > static_cast<std::uint32_t>(ShowState::Maximized) ||
      !r.Text(handOver.program) || !r.Text(handOver.font) || !r.Text(handOver.arguments) || !r.AtEnd()) {
    return std::nullopt;
  }
  handOver.run = (flags & kRun) != 0;
  handOver.exit = (flags & kExit) != 0;
  handOver.show = static_cast<ShowState>(show);
  return handOver;
}

}  // namespace tavrel
