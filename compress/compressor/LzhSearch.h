// The string search of one LZH compression: the input as it arrives, and the best match
// of each of its strings.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "compress/compressor/LzhMatchFinder.h"

class TByteChannel;

// Every string of the input goes into the trees, whether it is sent as a literal, as a
// reference or inside one, so the search depends only on the input, never on how it is
// coded, and can run ahead of the coding. With a helper, the search trees are split
// between two match finders: the helper thread keeps one share, the calling thread the
// other and, between its own steps, reads the input and codes. Now and then the thread
// that waited more for the other takes trees over from it. Without a helper, the calling
// thread keeps all the trees. The matches are the same either way.
//
// The strings are asked for in increasing order; what lies before the last string asked
// for is then forgotten.
class TLzhSearch {
public:
  TLzhSearch(TByteChannel& channel, bool withHelper);
  ~TLzhSearch();  // stops the helper, also when an exception leaves the compression
  TLzhSearch(const TLzhSearch&) = delete;
  TLzhSearch& operator=(const TLzhSearch&) = delete;

  // Whether the input holds a string that starts at byte i: reads as far as needed.
  bool HasString(uint32_t i);
  // The best match of the string at byte i, which must exist, cut to the input left from
  // there; Length 0 when a literal is to be sent.
  TLzhMatch MatchAt(uint32_t i);
  // Input byte i, from the last string asked for on.
  uint8_t ByteAt(uint32_t i) const { return input_[i & kInputMask]; }

  // Whether a compression of the given input size is worth a helper on this machine.
  static bool WorthAHelper(int64_t inputSize);

  // For tests: with it set, every review trades trees, towards the thread with fewer of
  // them, whatever the threads waited; trades otherwise happen only when their idle times
  // drift apart. TradesMade counts the trades of the process.
  static void SetTradeAtEveryReview(bool on);
  static uint32_t TradesMade();

private:
  // How far the search may run ahead of the coding, in strings: a power of two.
  static constexpr uint32_t kRecordCount = 1u << 15;
  // The input kept: every byte from the oldest one still needed on, by the coding or by a
  // match finder that has still to take it; at least the strings ahead plus their bytes.
  static constexpr uint32_t kInputSize = 2 * kRecordCount;
  static constexpr uint32_t kInputMask = kInputSize - 1;
  // Strings a match finder takes at a time before it says how far it got: a batch ends at
  // a multiple of this, where the finders may stop to trade trees.
  static constexpr uint32_t kBatch = 2048;
  // How often the calling thread weighs the two threads' idle times, in strings.
  static constexpr uint32_t kReviewStride = 1u << 16;
  static constexpr uint32_t kNoPause = UINT32_MAX;
  static constexpr uint32_t kUnknownTotal = UINT32_MAX;

  // One match finder and the matches it has recorded.
  struct TShare {
    explicit TShare(unsigned hashes);
    TLzhMatchFinder Finder;
    uint32_t Records[kRecordCount];
    std::atomic<uint32_t> Done{0};  // the strings whose matches are in Records
  };

  uint32_t Advance(TShare& share, uint32_t consumed);
  bool ReadInput();
  bool Pump();
  void PublishConsumed();
  void Tick();
  void RunHelper();
  void Review();
  bool TradeTrees();
  void LiftPause();
  void Wake(std::condition_variable& moved);
  uint32_t LowWater() const;

  TByteChannel& channel_;
  std::unique_ptr<uint8_t[]> input_;
  std::unique_ptr<TShare> own_;
  std::unique_ptr<TShare> helped_;  // the helper's share, when there is a helper
  // Written by the calling thread only.
  std::atomic<uint32_t> inputCount_{0};              // bytes read so far
  std::atomic<uint32_t> inputTotal_{kUnknownTotal};  // all of them, once the input has ended
  std::atomic<uint32_t> consumed_{0};  // every string before this one has been asked for
  std::atomic<uint32_t> tick_{0};      // moves whenever one of the above does
  std::atomic<bool> stop_{false};
  // Where both match finders stop, at the end of a batch, for a share of trees to change
  // hands; kNoPause for none.
  std::atomic<uint32_t> pauseAt_{kNoPause};
  // Written by the helper: the microseconds it has waited, wrapping; and the last pause it
  // has stopped at.
  std::atomic<uint32_t> helperIdle_{0};
  std::atomic<uint32_t> helperPausedAt_{kNoPause};
  // The calling thread's own.
  uint32_t mainIdle_ = 0;  // the same for it
  uint32_t mainIdleReviewed_ = 0;
  uint32_t helperIdleReviewed_ = 0;
  uint32_t nextReview_ = kReviewStride;
  unsigned trading_ = 0;     // the hash of the trees to change hands at the pause
  bool toHelper_ = false;    // and which way
  uint32_t asked_ = 0;       // the last string asked for
  uint32_t helperDone_ = 0;  // the helper's progress as last seen
  // Each thread waits, when it can do nothing else, for the other to move on.
  std::mutex mutex_;
  std::condition_variable mainMoved_;    // the helper waits on it for tick_
  std::condition_variable helperMoved_;  // and the calling thread for the helper's Done
  std::thread helper_;
};
