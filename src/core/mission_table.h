#pragma once
// The one store of missions while the program runs. The main list is a
// virtual list over this table: it keeps no copy of the texts and asks for
// each cell when it paints, so the table's rows are the list's rows, in the
// same order, and a row index is a list index.

#include <cstdint>
#include <string>
#include <vector>

#include "core/repeat_rule.h"

// One mission, one row of the main list. The texts are code page 936 bytes
// and are moved as they are; only the scheduler interprets them.
struct MisRecord {
  std::string kindName;  // the kind's display name, the row's caption
  std::string detail;    // what the action works on
  std::string dateText;  // the day, in the user's short date format
  std::string timeText;  // the time of day, in the user's long time format
  int imageIndex = 0;    // picture in the main list, 0..6
  RepeatRule repeat;     // once, or how it repeats; dateText is then its next occurrence

  friend bool operator==(const MisRecord&, const MisRecord&) = default;
};

// What follows the table (the main list, the missions kept across a restart)
// is told of each change. Every operation tells it once, however many rows
// it touched, so a view that repaints only the rows on screen stays fast
// with any number of rows.
class MisTableObserver {
 public:
  virtual ~MisTableObserver() = default;
  // Rows firstRow to lastRow changed in place; lastRow -1: rows from firstRow
  // to the end may differ and the count may have changed (firstRow 0: the
  // whole table is new).
  virtual void rowsChanged(int firstRow, int lastRow) = 0;
  // The selected row is now index (-1: none).
  virtual void selectionChanged(int index) = 0;
};

class MisTable {
 public:
  int count() const { return static_cast<int>(rows_.size()); }
  // index must be below count().
  const MisRecord& row(int index) const;

  // Adds the row after the last one and gives its index.
  int append(MisRecord record);
  // Replaces every field of row index; the row keeps its position.
  void overwrite(int index, MisRecord record);
  // Deletes row index; later rows move up by one.
  void remove(int index);
  void clear();
  // Replaces every row at once (a load): no row is selected afterwards.
  void assign(std::vector<MisRecord> rows);

  // New date texts for some rows at once (repeating rows moving on).
  struct Redating {
    int index;
    std::string dateText;
  };
  void redate(const std::vector<Redating>& changes);

  // A row's own number, which it keeps while rows before it are deleted and
  // while it is edited, so work that waits (a pass behind a reminder) can
  // find it again or learn that it is gone. Never given to another row.
  using RowId = std::uint64_t;
  RowId rowId(int index) const;
  // The row's index now, or -1 when it has been deleted.
  int indexOf(RowId id) const;

  // The selected row, or -1. The list reports the user's choice through select.
  int selectedIndex() const { return selected_; }
  void select(int index);

  // Edits the caption of a row in place (the list's label editing): the text
  // becomes the row's kindName as it stands, whatever it is.
  void renameKind(int index, std::string kindName);

  // Observers are told in the order they were added.
  void addObserver(MisTableObserver* observer);
  void removeObserver(MisTableObserver* observer);

 private:
  void checkIndex(int index) const;
  void notifyRows(int firstRow, int lastRow);
  void setSelected(int index);

  std::vector<MisRecord> rows_;
  // Parallel to rows_; rising in table order, since rows are only appended
  // at the end and never move past one another.
  std::vector<RowId> ids_;
  RowId nextId_ = 1;
  int selected_ = -1;
  std::vector<MisTableObserver*> observers_;
};
