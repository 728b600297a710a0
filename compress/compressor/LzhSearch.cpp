#include "compress/compressor/LzhSearch.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "compress/ByteChannel.h"

namespace {

// The trees the helper starts with, by hash: ten of the sixteen. The calling thread also
// reads and codes; with this share the two come out about even on text and binaries
// (measured: nine or eleven were slower), before any trees change hands.
constexpr unsigned kHelperHashes = 0x03FF;

// Tree hashes change hands when one thread has waited this much longer than the other
// since the last review, in microseconds.
constexpr uint32_t kImbalance = 300;

uint32_t Microseconds() {
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

// Below this size, starting a thread costs more than it saves.
constexpr int64_t kSmallestHelpedInput = 256 * 1024;

std::atomic<bool> tradeAtEveryReview{false};
std::atomic<uint32_t> tradesMade{0};

}  // namespace

TLzhSearch::TShare::TShare(unsigned hashes) : Finder(hashes) {
  Finder.RecordMatchesIn(Records, kRecordCount - 1);
}

TLzhSearch::TLzhSearch(TByteChannel& channel, bool withHelper)
    : channel_(channel), input_(new uint8_t[kInputSize]) {
  if (withHelper) {
    own_ = std::make_unique<TShare>(TLzhMatchFinder::kEveryHash & ~kHelperHashes);
    helped_ = std::make_unique<TShare>(kHelperHashes);
    try {
      helper_ = std::thread(&TLzhSearch::RunHelper, this);
      return;
    } catch (const std::system_error&) {
      helped_.reset();  // no thread to be had: the search runs here alone
    }
  }
  own_ = std::make_unique<TShare>(TLzhMatchFinder::kEveryHash);
}

TLzhSearch::~TLzhSearch() {
  if (!helper_.joinable()) return;
  stop_.store(true, std::memory_order_relaxed);
  Tick();
  helper_.join();
}

bool TLzhSearch::WorthAHelper(int64_t inputSize) {
  return inputSize >= kSmallestHelpedInput && std::thread::hardware_concurrency() >= 2;
}

void TLzhSearch::SetTradeAtEveryReview(bool on) {
  tradeAtEveryReview.store(on, std::memory_order_relaxed);
}

uint32_t TLzhSearch::TradesMade() {
  return tradesMade.load(std::memory_order_relaxed);
}

bool TLzhSearch::HasString(uint32_t i) {
  for (;;) {
    const uint32_t total = inputTotal_.load(std::memory_order_relaxed);
    if (total != kUnknownTotal) return i < total;
    if (i < inputCount_.load(std::memory_order_relaxed)) return true;
    if (!ReadInput()) throw std::logic_error("LZH search: no room for input");
  }
}

TLzhMatch TLzhSearch::MatchAt(uint32_t i) {
  asked_ = i;
  if (i - consumed_.load(std::memory_order_relaxed) >= kBatch) PublishConsumed();
  if (helped_) {
    if (i >= nextReview_) Review();
    if (trading_ != 0) TradeTrees();
  }
  for (;;) {
    if (helped_ && i >= helperDone_) helperDone_ = helped_->Done.load(std::memory_order_acquire);
    const bool helperReady = !helped_ || i < helperDone_;
    if (helperReady && i < own_->Done.load(std::memory_order_relaxed)) break;
    // Work of this thread comes first; then, if the helper is behind, wait for it.
    if (Pump() || (trading_ != 0 && TradeTrees())) continue;
    if (helperReady) throw std::logic_error("LZH search: stalled");
    const uint32_t since = Microseconds();
    std::unique_lock<std::mutex> lock(mutex_);
    helperMoved_.wait(lock, [this] {
      return helped_->Done.load(std::memory_order_acquire) != helperDone_ ||
             (trading_ != 0 && helperPausedAt_.load(std::memory_order_acquire) == pauseAt_.load());
    });
    mainIdle_ += Microseconds() - since;
  }
  uint32_t record = own_->Records[i & (kRecordCount - 1)];
  if (helped_) record |= helped_->Records[i & (kRecordCount - 1)];
  TLzhMatch match = TLzhMatch::FromRecord(record);
  // A match never runs past the end of the input.
  const uint32_t total = inputTotal_.load(std::memory_order_relaxed);
  if (total != kUnknownTotal && static_cast<uint32_t>(match.Length) > total - i) {
    match.Length = static_cast<int>(total - i);
    if (match.Length <= kMatchThreshold) match = TLzhMatch{};
  }
  return match;
}

// Records the matches of as many strings as the input read and the room for records allow,
// up to a batch; returns how many. A string can go in once its 60 bytes have been read, or
// all of the input has.
uint32_t TLzhSearch::Advance(TShare& share, uint32_t consumed) {
  const uint32_t total = inputTotal_.load(std::memory_order_acquire);
  const uint32_t count = inputCount_.load(std::memory_order_acquire);
  const uint32_t first = share.Done.load(std::memory_order_relaxed);
  uint32_t limit = total != kUnknownTotal ? total : count >= kMaxMatch ? count - kMaxMatch + 1 : 0;
  const uint32_t batchEnd = (first | (kBatch - 1)) + 1;
  limit = std::min({limit, consumed + kRecordCount, batchEnd, pauseAt_.load()});
  if (limit <= first) return 0;
  uint32_t done = first;
  if (done == 0) {
    share.Finder.Start(&input_[0], static_cast<int>(std::min<uint32_t>(count, kMaxMatch)));
    done = 1;
  }
  while (done < limit) {
    const uint32_t last = done + kMaxMatch - 1;  // the last byte of the string at done
    if (last < count) {
      const uint32_t n = std::min({limit - done, count - last, kInputSize - (last & kInputMask)});
      share.Finder.Slide(&input_[last & kInputMask], static_cast<int>(n));
      done += n;
    } else {
      share.Finder.SlideEmpty();
      ++done;
    }
  }
  share.Done.store(done, std::memory_order_release);
  return done - first;
}

// The oldest input byte still needed: by the coding, or by a match finder yet to take it.
uint32_t TLzhSearch::LowWater() const {
  uint32_t low = std::min(asked_, own_->Done.load(std::memory_order_relaxed));
  if (helped_) low = std::min(low, helped_->Done.load(std::memory_order_acquire));
  return low;
}

// Reads what the channel's current block holds, as far as there is room; false when
// there is none, or the input has ended.
bool TLzhSearch::ReadInput() {
  if (inputTotal_.load(std::memory_order_relaxed) != kUnknownTotal) return false;
  const uint32_t count = inputCount_.load(std::memory_order_relaxed);
  const uint32_t room = LowWater() + kInputSize - count;
  if (room == 0) return false;
  uint8_t* const to = &input_[count & kInputMask];
  uint32_t n = std::min(room, kInputSize - (count & kInputMask));
  const int32_t available = channel_.InputAvailable();
  if (available > 0) {
    n = std::min(n, static_cast<uint32_t>(available));
    std::memcpy(to, channel_.InputCursor(), n);
    channel_.SkipInput(static_cast<int32_t>(n));
  } else {
    // A new block, or the end. Not asked again once ended: after a refused block the
    // channel would still hand out its bytes, flagged, and they would count in the
    // checksum without being compressed.
    const uint8_t c = channel_.NextInputByte();
    if (channel_.InputEnded()) {
      inputTotal_.store(count, std::memory_order_release);
      Tick();
      return true;
    }
    *to = c;
    n = 1;
  }
  inputCount_.store(count + n, std::memory_order_release);
  Tick();
  return true;
}

// One round of the calling thread's share of the search: input, then matches.
bool TLzhSearch::Pump() {
  bool progress = ReadInput();
  if (Advance(*own_, asked_) != 0) progress = true;
  PublishConsumed();
  return progress;
}

void TLzhSearch::PublishConsumed() {
  if (consumed_.load(std::memory_order_relaxed) == asked_) return;
  consumed_.store(asked_, std::memory_order_release);
  Tick();
}

void TLzhSearch::Tick() {
  if (!helper_.joinable()) return;
  tick_.fetch_add(1, std::memory_order_release);
  Wake(mainMoved_);
}

// The waiting side tests what it waits for with the mutex held, so passing through the
// mutex between the change and the call means no call goes unheard.
void TLzhSearch::Wake(std::condition_variable& moved) {
  { std::lock_guard<std::mutex> passing(mutex_); }
  moved.notify_one();
}

void TLzhSearch::RunHelper() {
  for (;;) {
    const uint32_t seen = tick_.load(std::memory_order_acquire);
    if (stop_.load(std::memory_order_relaxed)) return;
    if (Advance(*helped_, consumed_.load(std::memory_order_acquire)) != 0) {
      Wake(helperMoved_);
      continue;
    }
    // Stopped at a pause: the trees are the calling thread's to trade until it lifts the
    // pause. Waiting there says nothing about the shares.
    const uint32_t done = helped_->Done.load(std::memory_order_relaxed);
    const bool paused = pauseAt_.load() == done;
    if (paused && helperPausedAt_.load(std::memory_order_relaxed) != done) {
      helperPausedAt_.store(done, std::memory_order_release);
      Wake(helperMoved_);
    }
    const uint32_t since = Microseconds();
    std::unique_lock<std::mutex> lock(mutex_);
    mainMoved_.wait(lock, [this, seen] { return tick_.load(std::memory_order_acquire) != seen; });
    if (!paused) helperIdle_.fetch_add(Microseconds() - since, std::memory_order_relaxed);
  }
}

// The thread that waited longer since the last review has too little of the search: one
// hash of trees moves to it from the other, which keeps at least one. They change hands
// at the end of the batch after both finders' progress, where both will stop.
void TLzhSearch::Review() {
  nextReview_ = asked_ + kReviewStride;
  const uint32_t helperIdle = helperIdle_.load(std::memory_order_relaxed);
  const uint32_t mainWaited = mainIdle_ - mainIdleReviewed_;
  const uint32_t helperWaited = helperIdle - helperIdleReviewed_;
  mainIdleReviewed_ = mainIdle_;
  helperIdleReviewed_ = helperIdle;
  if (trading_ != 0) return;
  const unsigned mine = own_->Finder.OwnedHashes();
  const unsigned theirs = helped_->Finder.OwnedHashes();
  bool towardsMain = mainWaited > helperWaited + kImbalance;
  bool towardsHelper = helperWaited > mainWaited + kImbalance;
  if (tradeAtEveryReview.load(std::memory_order_relaxed)) {
    towardsHelper = std::popcount(mine) >= std::popcount(theirs);
    towardsMain = !towardsHelper;
  }
  if (towardsMain && std::popcount(theirs) > 1) {
    trading_ = 1u << (std::bit_width(theirs) - 1);
    toHelper_ = false;
  } else if (towardsHelper && std::popcount(mine) > 1) {
    trading_ = mine & (0u - mine);
    toHelper_ = true;
  } else {
    return;
  }
  const uint32_t ahead = std::max(own_->Done.load(std::memory_order_relaxed),
                                  helped_->Done.load(std::memory_order_acquire));
  pauseAt_.store((ahead | (kBatch - 1)) + 1);
}

// Once both finders have stopped at the pause, the helper's saying so, the trees change
// hands and both go on. A batch of the helper's begun before it could see the pause may
// run past it: then the trade is called off, to be tried again at the next review.
bool TLzhSearch::TradeTrees() {
  const uint32_t at = pauseAt_.load(std::memory_order_relaxed);
  if (helped_->Done.load(std::memory_order_acquire) > at) {
    LiftPause();
    return true;
  }
  // This thread's finder catches up, so that the helper does not wait at the pause long.
  while (own_->Done.load(std::memory_order_relaxed) < at && Pump()) {
  }
  if (own_->Done.load(std::memory_order_relaxed) != at ||
      helperPausedAt_.load(std::memory_order_acquire) != at) {
    return false;
  }
  if (toHelper_) {
    own_->Finder.HandOver(trading_, helped_->Finder);
  } else {
    helped_->Finder.HandOver(trading_, own_->Finder);
  }
  tradesMade.fetch_add(1, std::memory_order_relaxed);
  LiftPause();
  return true;
}

void TLzhSearch::LiftPause() {
  trading_ = 0;
  pauseAt_.store(kNoPause);
  Tick();
}
