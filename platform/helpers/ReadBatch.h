// CReadBatch: a stretch of reads, such as one load of the accounts, that may share what it has read.
#pragma once

namespace plat {

/*
 * While one lives, the reads of this thread may give what was read earlier in the batch: reading many keys of
 * one profile file checks the file once, not once per key, and callers may keep what they found under the
 * batch's id. The profile calls read back at once whatever the program writes through the file or profile
 * calls meanwhile; Windows' own profile functions keep no batch. What a caller keeps under the batch's id is
 * not looked at again, so a batch is for reading, as a load is. Batches nest: the outermost one counts.
 */
class CReadBatch
{
public:
    CReadBatch();
    ~CReadBatch();
    CReadBatch(const CReadBatch&) = delete;
    CReadBatch& operator=(const CReadBatch&) = delete;
};

// This thread's outermost batch, 0 outside any; never the same for two batches of the process.
unsigned long ReadBatchId();

// What a batch learnt of the disk holds until the program writes a file: every call of a backend that
// writes, moves or removes a file or folder notes it here.
void NoteFileWrite();
// The count of file writes noted so far.
unsigned long FileWriteCount();

} // namespace plat
