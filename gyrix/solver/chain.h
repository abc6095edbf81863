// CStabiliserChain: a solver for any puzzle whose turns permute its facelets, too large for a
// distance table. The group the turns generate is described by a stabiliser chain (found by
// randomised Schreier-Sims): facelet places b1, b2, ... fixed one after the other, and at each
// step the places the next one can reach while the earlier ones stay. Every such place has a
// short word of turns that brings it there (filled in the way Minkwitz described: words sifted
// through the chain, the shorter kept), so a position is solved one place at a time and the
// words put together are a solution; shortening then cancels, merges and replaces runs of it by
// shorter equal words.
//
// A position is known only by its colours. Where several facelets share a colour the chain's
// places are chosen by a search that keeps only arrangements the turns can reach, so a parity
// that identical stickers hide is put right, and colours that no arrangement fits are refused.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CStabiliserChain {
 public:
  struct Shape {
    std::vector<int> solved;              // colour by facelet id
    std::vector<std::vector<int>> turns;  // turn k + 1, as CMove: entry i names where facelet i's colour goes
    std::vector<bool> free;               // per turn: a whole-puzzle turn, not counted in lengths
  };
  struct Answer {
    std::vector<int> turns;  // signed turn numbers
    int length = 0;          // turns that count
  };
  struct Report {
    int levels = 0;
    int entries = 0;           // words in the table
    double orderDigits = 0;    // log10 of the group's order
    double meanWordLength = 0;
    int longestWord = 0;
  };

  explicit CStabiliserChain(const Shape& shape);

  // Finds the chain and fills its words, for about the given time once every word is found.
  // False when cancelled.
  bool Build(const std::atomic<bool>* cancel, std::atomic<int>* progress, double seconds);
  // The cache file: a header that must match this shape, the chain's words, a checksum. Load
  // refuses anything that does not fit, and every word read is checked against the chain.
  bool Load(const std::string& path);
  bool Save(const std::string& path) const;

  // 1 with a solution in answer; 0 when no sequence of turns reaches solved from the colours;
  // -1 when cancelled; -2 when the search for an arrangement of identical colours gave up, or
  // the chain was neither built nor loaded.
  // variants: how many starting turns are tried, the shortest solution kept.
  int Solve(const std::vector<int>& colours, int variants, const std::atomic<bool>* cancel, Answer& answer) const;

  // Shortening alone: the same effect on every position, never longer (signed turn numbers).
  std::vector<int> Shorten(const std::vector<int>& turns) const;

  Report GetReport() const;
  int GetFaceletCount() const { return m_n; }

 private:
  using Perm = std::vector<std::uint16_t>;
  using Word = std::vector<std::int16_t>;  // search move indices
  struct Entry {
    bool filled = false;
    Word word;
    Perm perm;
  };
  struct Level {
    int base = 0;
    std::vector<int> orbit;
    std::vector<int> slot;          // per facelet: index into entries, or -1 off the orbit
    std::vector<Entry> entries;     // per orbit point
    std::vector<int> newlyFixed;    // facelets fixed once this level's place is chosen
  };

  // Group structure.
  bool FindChain(const std::atomic<bool>* cancel);
  void FillWords(const std::atomic<bool>* cancel, std::atomic<int>* progress, double seconds);
  void FindFixedPlaces();
  bool SiftWord(Word word, Perm perm, size_t from, size_t longest);
  bool IsComplete() const;

  // Words.
  Perm PermOf(const Word& word) const;
  Word Inverse(const Word& word) const;
  Word Reduced(const Word& word) const;
  Perm Compose(const Perm& a, const Perm& b) const;  // a then b: (a o b)[p] = a[b[p]]
  static Perm Invert(const Perm& a);
  std::uint64_t Fingerprint() const;

  // Solving.
  bool Arrange(const std::vector<int>& colours, const std::atomic<bool>* cancel, long& budget,
               std::vector<int>& chosen) const;
  Word SolutionOf(const std::vector<int>& chosen) const;
  Word ShortenWord(const Word& word) const;
  Word MergeCommuting(const Word& word) const;
  Word ReplaceRuns(const Word& word) const;
  void BuildShortWords();
  int CountedLength(const Word& word) const;

  Shape m_shape;
  int m_n = 0;
  std::vector<Perm> m_gather;     // per search move: new[i] = old[gather[i]]
  std::vector<int> m_moveTurn;    // signed turn number per search move
  std::vector<int> m_inverse;     // search move of the inverse
  std::vector<int> m_turnOf;      // per search move: index of its turn
  std::vector<int> m_turnOrder;   // per turn index
  std::vector<std::vector<bool>> m_commute;  // per pair of search moves
  std::vector<int> m_preferred;   // facelets in the order places are fixed
  std::vector<int> m_fixedByAll;  // facelets no turn moves
  std::vector<Level> m_levels;
  std::vector<std::uint64_t> m_shortKeys;  // open-addressed: hash of a short word's permutation
  std::vector<std::uint32_t> m_shortIndex;  // per key: index into m_shortWords
  std::vector<Word> m_shortWords;
  int m_shortDepth = 0;
  bool m_ready = false;  // built or loaded whole
};
