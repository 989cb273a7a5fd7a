#include "core/mission_table.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

const MisRecord& MisTable::row(int index) const {
  checkIndex(index);
  return rows_[static_cast<size_t>(index)];
}

int MisTable::append(MisRecord record) {
  rows_.push_back(std::move(record));
  ids_.push_back(nextId_++);
  const int index = count() - 1;
  notifyRows(index, -1);
  return index;
}

void MisTable::overwrite(int index, MisRecord record) {
  checkIndex(index);
  rows_[static_cast<size_t>(index)] = std::move(record);
  notifyRows(index, index);
}

void MisTable::renameKind(int index, std::string kindName) {
  checkIndex(index);
  rows_[static_cast<size_t>(index)].kindName = std::move(kindName);
  notifyRows(index, index);
}

void MisTable::remove(int index) {
  checkIndex(index);
  rows_.erase(rows_.begin() + index);
  ids_.erase(ids_.begin() + index);
  // The selection follows its row; deleting the selected row leaves none.
  if (selected_ == index) {
    setSelected(-1);
  } else if (selected_ > index) {
    setSelected(selected_ - 1);
  }
  notifyRows(index, -1);
}

void MisTable::clear() {
  rows_.clear();
  ids_.clear();
  setSelected(-1);
  notifyRows(0, -1);
}

void MisTable::assign(std::vector<MisRecord> rows) {
  rows_ = std::move(rows);
  // Rows of their own: none of them is a row that was there before.
  ids_.resize(rows_.size());
  for (RowId& id : ids_) id = nextId_++;
  setSelected(-1);
  notifyRows(0, -1);
}

void MisTable::redate(const std::vector<Redating>& changes) {
  if (changes.empty()) return;
  for (const Redating& change : changes) checkIndex(change.index);
  int first = changes.front().index;
  int last = first;
  for (const Redating& change : changes) {
    rows_[static_cast<size_t>(change.index)].dateText = change.dateText;
    first = std::min(first, change.index);
    last = std::max(last, change.index);
  }
  notifyRows(first, last);
}

MisTable::RowId MisTable::rowId(int index) const {
  checkIndex(index);
  return ids_[static_cast<size_t>(index)];
}

int MisTable::indexOf(RowId id) const {
  const auto found = std::lower_bound(ids_.begin(), ids_.end(), id);
  return found != ids_.end() && *found == id ? static_cast<int>(found - ids_.begin()) : -1;
}

void MisTable::select(int index) {
  if (index != -1) checkIndex(index);
  setSelected(index);
}

void MisTable::checkIndex(int index) const {
  // A wrong index is a programming error in a caller, never a user's doing.
  if (index < 0 || index >= count()) throw std::out_of_range("mission table index out of range");
}

void MisTable::addObserver(MisTableObserver* observer) { observers_.push_back(observer); }

void MisTable::removeObserver(MisTableObserver* observer) { std::erase(observers_, observer); }

void MisTable::notifyRows(int firstRow, int lastRow) {
  for (MisTableObserver* observer : observers_) observer->rowsChanged(firstRow, lastRow);
}

void MisTable::setSelected(int index) {
  if (selected_ == index) return;
  selected_ = index;
  for (MisTableObserver* observer : observers_) observer->selectionChanged(index);
}
