// RecordLearning: how record salvage learns what a table's records look
// like from the table itself, before it writes anything.
//
// 1. Format census: the records where the header says they are, and those
//    that end where the data ends, tell which fixed formats (numbers,
//    dates, ...) the writer kept.
// 2. Anchored runs: the records from the header on (past damaged blocks
//    where the same alignment comes back, and past bytes inserted or lost
//    where records read soundly a few bytes off), and back from the
//    end-of-file byte, for as long as each keeps fitting what came before
//    it. Their alignment is known without any judging (a first record
//    holding bytes inserted or lost moves it, and the padding of the fields
//    tells), so they seed a first model however early the damage lies.
// 3. Guided walks: full walks over the start of the data area (at most a
//    few megabytes) and over a few stretches spread up to its end (what
//    changes along a table, such as a counter gaining a digit), judged by
//    the previous model, learning into a fresh one; twice, so that what the
//    seed got wrong is unlearnt. When nothing broke the run from the start,
//    the spread stretches alone are walked, once.
#pragma once

#include <cstdint>

#include "ByteSource.h"
#include "RecordLayout.h"
#include "RecordModel.h"

namespace drelin {

// The model of the records in [begin, source.length()).
RecordModel LearnRecords(const ByteSource& source, const RecordLayout& layout, uint64_t begin);

// Step 1 alone: the format census over the records from `begin` on, into a
// model that has learnt nothing else.
void TakeFormatCensus(const ByteSource& source, uint64_t begin, RecordModel& model);

}  // namespace drelin
