// The puzzle file: the whole puzzle as the buffer encoding streams it, after a leading format
// version. Files from elsewhere are checked record by record before anything is trusted, and
// a file that does not hold together is refused without touching the puzzle.
#include <gyrix/engine/puzzle.h>

#include <cordak/file.h>


#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The history buffer's growth step; files always carry 1024, and anything far larger is damage.
constexpr int kMaxHistoryBlock = 1 << 20;
// Puzzle files are a few kilobytes; the largest model stays far below this.
constexpr int kMaxFileSize = 64 << 20;

int BytesLeft(CUBuffer& b) { return std::max(0, b.GetSize() - b.GetOffset()); }

bool IsBijection(const int* values, int length) {
  std::vector<char> seen(length, 0);
  for (int i = 0; i < length; ++i) {
    const int v = values[i];
    if (v < 0 || v >= length || seen[v]) return false;
    seen[v] = 1;
  }
  return true;
}

bool ReadFileBytes(const char* path, CUBuffer& out) {
  CUFile file;
  if (!path || !file.Open(path, 1)) return false;
  const int size = file.GetSize();
  if (size > 0 && size <= kMaxFileSize) {
    std::vector<unsigned char> bytes(size);
    file.Read(bytes.data(), size);
    out.Write(bytes.data(), size);
  }
  file.Close();
  out.SeekToBegin();
  return true;
}

}  // namespace

// ---- records ----

bool CMove::ReadRecord(CUBuffer& b) {
  m_permutation.clear();
  m_inserts.DeleteAll();
  if (BytesLeft(b) < 8) return false;
  int length = 0;
  b >> length;
  if (length < 0 || length > (BytesLeft(b) - 4) / 4) return false;
  m_permutation.resize(length);
  for (int& v : m_permutation) b >> v;
  int inserts = 0;
  b >> inserts;
  if (inserts < 0 || inserts > BytesLeft(b) / 12) return false;
  for (int i = 0; i < inserts; ++i) {
    auto* insert = new CMoveInsert();
    insert->Read(b);
    m_inserts.Add(insert);
  }
  return true;
}

void CMove::Write(CUBuffer& b) {
  b << GetLength();
  for (int v : m_permutation) b << v;
  m_inserts.Write(b);
}

// ---- the puzzle record ----

void CPuzzle::ReadMoves(CUBuffer& b) {
  const int count = ReadCount(b, 8);
  for (int k = 0; k < count && !HasReadFailed(); ++k) {
    auto* move = new CMove();
    m_moves.Add(move);
    // A permutation is a bijection over at most the facelets there are.
    if (!move->ReadRecord(b) || move->GetLength() > GetFaceletCount() ||
        !IsBijection(move->GetPermutation(), move->GetLength()))
      MarkReadFailed();
  }
}

void CPuzzle::ReadMask(CUBuffer& b) {
  const int count = ReadCount(b, 4);
  if (count < 0) return;
  // Every facelet a permutation moves needs its mask entry.
  for (int k = 0; k < GetMoveCount(); ++k)
    if (GetMove(k)->GetLength() > count) MarkReadFailed();
  m_moveMask.assign(count, 0);
  for (auto& word : m_moveMask) {
    unsigned long w = 0;
    b >> w;
    word = static_cast<std::uint32_t>(w);
  }
}

void CPuzzle::ReadHistory(CUBuffer& b) {
  if (!NeedBytes(b, 8)) return;
  int blockSize = 0;
  b >> blockSize;
  const int size = ReadCount(b, 1);
  if (size < 0 || !NeedBytes(b, std::int64_t(size) + 5)) return;
  std::vector<unsigned char> bytes(size);
  if (size > 0) b.Read(bytes.data(), size);
  int position = 0;
  unsigned char flags = 0;
  b >> position >> flags;
  // Flag 4 would hand the buffer memory it does not own; no other flag is ever stored.
  const int storable = CUBuffer::cm_compressed | CUBuffer::cm_enciphered;
  if (blockSize <= 0 || blockSize > kMaxHistoryBlock || position < 0 || position > size || (flags & ~storable)) {
    MarkReadFailed();
    return;
  }
  m_history.Clear();
  m_turnsMade = 0;
  m_history.SetBlockSize(blockSize);
  if (size > 0) m_history.Write(bytes.data(), size);
  m_history.Seek(position, 0);
  m_history.SetFlag(flags);
}

void CPuzzle::Read(CUBuffer& b) {
  if (!NeedBytes(b, 8)) return;
  float version = 0.0f;
  int typeId = 0;
  b >> version >> typeId;
  // Geometry and turns are only meaningful to the class that wrote them.
  if (version != kFormatVersion || typeId != m_typeId) {
    MarkReadFailed();
    return;
  }
  Clear();
  CPolyModel::Read(b);
  ReadMoves(b);
  ReadFacelets(b, m_innerFacelets);
  ReadMask(b);
  ReadHistory(b);
  if (!NeedBytes(b, 4 * 5)) return;
  m_clockStart.Read(b);
  m_clockEnd.Read(b);
  b >> m_solved >> m_mode >> m_scramblePending;
  // Stopped with the stored times: stopping a running clock would move its end to now.
  m_clockRunning = 0;
  // Relabelled files are the same records under another type id; their counts give them away.
  if (m_checkShape && !IsOwnShape(m_expectedShape)) MarkReadFailed();
}

CPuzzle::FileShape CPuzzle::GetFileShape() const {
  FileShape shape;
  shape.facelets = GetFaceletCount();
  shape.mask = GetMoveMaskLength();
  shape.palette = GetPaletteCount();
  shape.turns = GetMoveCount();
  shape.mode = m_mode;
  return shape;
}

// Facelets, mask and palette are fixed by the type; the turns by the type and mode (a class
// with modes may have other turns in another mode, so those are only compared within one).
bool CPuzzle::IsOwnShape(const FileShape& expected) const {
  const FileShape now = GetFileShape();
  return now.facelets == expected.facelets && now.mask == expected.mask && now.palette == expected.palette &&
         (now.mode != expected.mode || now.turns == expected.turns);
}

void CPuzzle::Write(CUBuffer& b) {
  b << kFormatVersion << m_typeId;
  CPolyModel::Write(b);
  m_moves.Write(b);
  m_innerFacelets.Write(b);
  b << GetMoveMaskLength();
  for (std::uint32_t word : m_moveMask) b << static_cast<unsigned long>(word);
  m_history.Write(b);
  m_clockStart.Write(b);
  m_clockEnd.Write(b);
  b << m_solved << m_mode << m_scramblePending;
}

// ---- files ----

int CPolyModel::Load(const char* path) {
  CUBuffer data;
  const int result = ReadFileBytes(path, data) ? LoadFromBuffer(data) : -1;
  // A loaded file rebuilt the view already; a refused or missing one must too, as callers
  // count on a fresh view whatever the outcome.
  if (result != 1) ResetView(0, 0);
  return result;
}

int CPolyModel::LoadFromBuffer(CUBuffer& data) {
  // What the file replaces is kept aside; a refused file brings it back unchanged.
  CUBuffer previous;
  Write(previous);
  m_readFailed = 0;
  Read(data);
  if (m_readFailed || !data.IsEOF()) {
    previous.SeekToBegin();
    m_readFailed = 0;
    Read(previous);
    m_readFailed = 0;
    return 0;
  }
  ResetView(0, 0);
  return 1;
}

int CPuzzle::LoadFromBuffer(CUBuffer& data) {
  // The clock's running flag is not part of the file; a refused file must not stop the clock.
  const int running = m_clockRunning;
  m_expectedShape = GetFileShape();
  m_checkShape = 1;
  const int result = CPolyModel::LoadFromBuffer(data);
  m_checkShape = 0;
  if (result != 1) m_clockRunning = running;
  return result;
}

int CPolyModel::Save(const char* path) {
  if (!path || !*path) return 0;
  CUBuffer content;
  Write(content);
  return CUFile::ReplaceContents(path, content.GetData(), content.GetSize());
}
