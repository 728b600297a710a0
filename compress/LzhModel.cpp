#include "compress/LzhModel.h"

#include <algorithm>

void TLzhModel::InitModel() {
  for (int s = 0; s < kSymbolCount; ++s) {
    Frequency[s] = 1;
    Child[s] = static_cast<uint16_t>(s + kNodeCount);
    Parent[s + kNodeCount] = static_cast<uint16_t>(s);
  }
  for (int i = 0, j = kSymbolCount; j <= kRootNode; i += 2, ++j) {
    Frequency[j] = static_cast<uint16_t>(Frequency[i] + Frequency[i + 1]);
    Child[j] = static_cast<uint16_t>(i);
    Parent[i] = Parent[i + 1] = static_cast<uint16_t>(j);
  }
  std::fill(Frequency.begin() + kNodeCount, Frequency.end(), 0xFFFF);
  Parent[kRootNode] = 0;
  FindGrandRelatives();
  CheckAll("InitModel");
}

void TLzhModel::MoveCounted(const uint16_t* path, int level) {
  TakeBackCounts(path, level);
  const unsigned n = path[level];
  ClimbFrom(SwapUpward(static_cast<int>(n), Frequency[n]));
}

void TLzhModel::RescaleModel() {
  // The leaves, in their order, to the bottom of the array with halved counts.
  int j = 0;
  for (int i = 0; i < kNodeCount; ++i) {
    if (Child[i] >= kNodeCount) {
      Frequency[j] = static_cast<uint16_t>((Frequency[i] + 1) / 2);
      Child[j] = Child[i];
      ++j;
    }
  }
  // Internal nodes rebuilt pairwise; a new node goes after all nodes of equal count.
  for (int i = 0, node = kSymbolCount; node < kNodeCount; i += 2, ++node) {
    const uint16_t f = static_cast<uint16_t>(Frequency[i] + Frequency[i + 1]);
    int k = node - 1;
    while (f < Frequency[k]) --k;
    ++k;
    std::copy_backward(Frequency.begin() + k, Frequency.begin() + node,
                       Frequency.begin() + node + 1);
    std::copy_backward(Child.begin() + k, Child.begin() + node, Child.begin() + node + 1);
    Frequency[k] = f;
    Child[k] = static_cast<uint16_t>(i);
  }
  for (int i = 0; i < kNodeCount; ++i) {
    const int c = Child[i];
    Parent[c] = static_cast<uint16_t>(i);
    if (c < kNodeCount) Parent[c + 1] = static_cast<uint16_t>(i);
  }
  FindGrandRelatives();
  CheckAll("RescaleModel");
}

void TLzhModel::FindGrandRelatives() {
  for (int n = 0; n < kNodeCount; ++n) {
    const int c = Child[n];
    GrandChild[2 * n] = c < kNodeCount ? Child[c] : static_cast<uint16_t>(c);
    GrandChild[2 * n + 1] = c < kNodeCount ? Child[c + 1] : static_cast<uint16_t>(c);
  }
  GrandParent.fill(0);
  for (int n = 0; n < kRootNode; ++n) GrandParent[n / 2] = Parent[Parent[n]];
}
