#include "compress/LzhCompress.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "compress/ByteChannel.h"
#include "compress/LzhBitWriter.h"
#include "compress/LzhModel.h"

namespace {

inline constexpr int kNoNode = kRingSize;         // no node here; also a scratch entry
inline constexpr int kFirstRoot = kRingSize + 1;  // roots 4097..8192
inline constexpr int kRootCount = 4096;
inline constexpr int kRight = 0;
inline constexpr int kLeft = 1;
// The ring is followed by a copy of its first 59 bytes, so that a string of 60 bytes
// starting anywhere in the ring compares without wrapping.
inline constexpr int kMirrorSize = kMaxMatch - 1;
// Room after the mirror for an 8-byte read that starts at a string's last byte.
inline constexpr int kComparePadding = 8;

// The length of the prefix that the 60-byte strings at a and b share, given that their
// first `known` bytes are equal. Compares eight bytes at a time; the window's tail padding
// lets the last word read past the 60th byte.
inline int CommonPrefix(const uint8_t* a, const uint8_t* b, int known) {
  if constexpr (std::endian::native == std::endian::little) {
    for (int i = known; i < kMaxMatch; i += 8) {
      uint64_t wa;
      uint64_t wb;
      std::memcpy(&wa, a + i, 8);
      std::memcpy(&wb, b + i, 8);
      if (const uint64_t diff = wa ^ wb; diff != 0) {
        return std::min(i + std::countr_zero(diff) / 8, kMaxMatch);
      }
    }
    return kMaxMatch;
  } else {
    int i = known;
    while (i < kMaxMatch && a[i] == b[i]) ++i;
    return i;
  }
}

// Strings are kept in 4096 ordered search trees, one per first byte and 4-bit hash of the
// next two. Each node caches the length of the prefix it shares with its parent, so that
// bytes known to be equal are never compared again.
class TLzhCompressor {
public:
  explicit TLzhCompressor(TByteChannel& channel) : channel_(channel), bits_(channel) {}
  void Run();

private:
  static int RootOf(const uint8_t* s) {
    const int x = s[1] ^ s[2];
    return kFirstRoot + s[0] + 256 * ((x ^ (x >> 4)) & 0x0F);
  }

  void InitMatchTrees();
  void MeasurePrefix(int a, int b, int c);
  void Reattach(int g, int y, int z);
  void ReplaceChild(int parent, int oldChild, int newChild);
  void InsertString(int r);
  void DeleteString(int p);

  TByteChannel& channel_;
  TLzhModel model_;
  // The ring is followed by a copy of its first 59 bytes. Positions that no input byte has
  // reached yet hold spaces, mirror included, like the rest of the initial window.
  uint8_t Window[kRingSize + kMirrorSize + kComparePadding];
  // TreeLink[kRight] is TreeRight, a node's right child or a root's tree; TreeLink[kLeft]
  // is TreeLeft, a node's left child (roots have none). Side by side, a step down picks
  // its side by index instead of by branch.
  uint16_t TreeLink[2][kFirstRoot + kRootCount];
  uint16_t TreeParent[kRingSize + 1];  // kNoNode: in no tree; entry kNoNode is scratch
  uint8_t SharedPrefix[kRingSize + 1];
  int MatchLength = 0;
  int MatchPosition = 0;  // the distance code: (r - p) mod 4096 - 1
  TBitWriter bits_;
};

void TLzhCompressor::InitMatchTrees() {
  for (int i = kFirstRoot; i < kFirstRoot + kRootCount; ++i) TreeLink[kRight][i] = kNoNode;
  for (int i = 0; i < kRingSize; ++i) TreeParent[i] = kNoNode;
}

// Sets SharedPrefix[c] from the strings at b and c, whose first a bytes are known equal.
void TLzhCompressor::MeasurePrefix(int a, int b, int c) {
  if (b >= kRingSize) {
    SharedPrefix[c] = 1;
    return;
  }
  SharedPrefix[c] = static_cast<uint8_t>(CommonPrefix(&Window[b], &Window[c], a));
}

// Node z moves into the place of y, whose parent is g.
void TLzhCompressor::Reattach(int g, int y, int z) {
  if (SharedPrefix[y] == SharedPrefix[z]) {
    MeasurePrefix(SharedPrefix[y], g, z);
  } else if (SharedPrefix[y] < SharedPrefix[z]) {
    SharedPrefix[z] = SharedPrefix[y];
  }
}

// A root has only a right child, so its link is always found on the right.
void TLzhCompressor::ReplaceChild(int parent, int oldChild, int newChild) {
  if (TreeLink[kRight][parent] == oldChild) {
    TreeLink[kRight][parent] = static_cast<uint16_t>(newChild);
  } else {
    TreeLink[kLeft][parent] = static_cast<uint16_t>(newChild);
  }
}

// Inserts the string at r and leaves the best match in MatchLength and MatchPosition: the
// longest shared prefix among the nodes visited, the nearest among equally long ones. The
// walk stops at the first 60-byte match, whose older string then leaves the tree.
void TLzhCompressor::InsertString(int r) {
  const uint8_t* const key = &Window[r];
  TreeLink[kLeft][r] = TreeLink[kRight][r] = kNoNode;
  int p = RootOf(key);
  int cmp = 1;
  int s = 1;
  int i = 1;  // leading bytes known shared with the node last compared
  MatchLength = 0;
  for (;;) {
    uint16_t* const link = &TreeLink[cmp < 0 ? kLeft : kRight][p];
    if (*link == kNoNode) {
      *link = static_cast<uint16_t>(r);
      TreeParent[r] = static_cast<uint16_t>(p);
      SharedPrefix[r] = static_cast<uint8_t>(i);
      return;
    }
    p = *link;
    s = SharedPrefix[p];

    const uint8_t* const other = &Window[p];
    if (s == i) {
      i = CommonPrefix(key, other, i);
      cmp = i < kMaxMatch ? key[i] - other[i] : 0;
    } else {
      // s < i: p parts from the last node at byte s, where the new string still agrees
      // with it. s > i: p agrees with the last node beyond i, so i and cmp stand.
      const int atS = key[s] - other[s];
      cmp = s < i ? atS : cmp;
      i = s < i ? s : i;
    }

    // A longer match, or one as long and nearer, becomes the best one.
    const int d = ((r - p) & kRingMask) - 1;
    const bool better =
        i > kMatchThreshold && (i > MatchLength || (i == MatchLength && d < MatchPosition));
    MatchPosition = better ? d : MatchPosition;
    MatchLength = better ? i : MatchLength;
    if (i >= kMaxMatch) break;
  }
  // p holds the same 60 bytes as the new string: r takes its place.
  SharedPrefix[r] = SharedPrefix[p];
  TreeParent[r] = TreeParent[p];
  TreeLink[kLeft][r] = TreeLink[kLeft][p];
  TreeLink[kRight][r] = TreeLink[kRight][p];
  TreeParent[TreeLink[kLeft][p]] = static_cast<uint16_t>(r);
  TreeParent[TreeLink[kRight][p]] = static_cast<uint16_t>(r);
  ReplaceChild(TreeParent[p], p, r);
  TreeParent[p] = kNoNode;
}

void TLzhCompressor::DeleteString(int p) {
  if (TreeParent[p] == kNoNode) return;
  int q;
  if (TreeLink[kRight][p] == kNoNode) {
    q = TreeLink[kLeft][p];
    if (q != kNoNode) Reattach(TreeParent[p], p, q);
  } else if (TreeLink[kLeft][p] == kNoNode) {
    q = TreeLink[kRight][p];
    Reattach(TreeParent[p], p, q);
  } else {
    // Two children: the in-order predecessor takes p's place.
    q = TreeLink[kLeft][p];
    if (TreeLink[kRight][q] != kNoNode) {
      do {
        q = TreeLink[kRight][q];
      } while (TreeLink[kRight][q] != kNoNode);
      if (TreeLink[kLeft][q] != kNoNode) Reattach(TreeParent[q], q, TreeLink[kLeft][q]);
      MeasurePrefix(1, q, TreeLink[kLeft][p]);
      TreeLink[kRight][TreeParent[q]] = TreeLink[kLeft][q];
      TreeParent[TreeLink[kLeft][q]] = TreeParent[q];
      TreeLink[kLeft][q] = TreeLink[kLeft][p];
      TreeParent[TreeLink[kLeft][p]] = static_cast<uint16_t>(q);
    }
    MeasurePrefix(1, TreeParent[p], q);
    MeasurePrefix(1, q, TreeLink[kRight][p]);
    TreeLink[kRight][q] = TreeLink[kRight][p];
    TreeParent[TreeLink[kRight][p]] = static_cast<uint16_t>(q);
  }
  TreeParent[q] = TreeParent[p];
  ReplaceChild(TreeParent[p], p, q);
  TreeParent[p] = kNoNode;
}

void TLzhCompressor::Run() {
  model_.InitModel();
  InitMatchTrees();
  std::memset(Window, kWindowFill, sizeof Window);
  int s = 0;
  int r = kFirstWritePosition;

  int len = 0;
  bool inputDone = false;
  while (len < kMaxMatch) {
    const uint8_t c = channel_.NextInputByte();
    if (channel_.InputEnded()) {
      inputDone = true;
      break;
    }
    Window[r + len] = c;
    ++len;
  }
  if (len == 0) return;
  for (int i = 1; i <= kMaxMatch; ++i) InsertString(r - i);
  InsertString(r);

  do {
    if (MatchLength > len) MatchLength = len;  // no match runs past the input
    if (MatchLength <= kMatchThreshold) {
      MatchLength = 1;
      EncodeSymbol(model_, bits_, Window[r]);
    } else {
      EncodeSymbol(model_, bits_, MatchSymbol(MatchLength));
      EncodePosition(bits_, MatchPosition);
    }
    const int last = MatchLength;
    int i = 0;
    while (i < last && !inputDone) {
      const uint8_t c = channel_.NextInputByte();
      if (channel_.InputEnded()) {
        // Not asked again: after a refused block the channel would still hand out its
        // bytes, flagged, and they would count in the checksum without being compressed.
        inputDone = true;
        break;
      }
      DeleteString(s);
      Window[s] = c;
      if (s < kMirrorSize) Window[s + kRingSize] = c;
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      InsertString(r);
      ++i;
    }
    // The input has ended: the look-ahead drains.
    while (i < last) {
      ++i;
      DeleteString(s);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--len != 0) InsertString(r);
    }
  } while (len > 0);
  bits_.FlushBits();
}

}  // namespace

void LzhCompress(TByteChannel& channel) {
  auto compressor = std::make_unique<TLzhCompressor>(channel);
  compressor->Run();
}
