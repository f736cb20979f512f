// CReadBatch: the batch ids of each thread, and the count of file writes that ends what a batch learnt.
#include "ReadBatch.h"

#include <atomic>

namespace {

std::atomic<unsigned long> g_lastBatch(0);
std::atomic<unsigned long> g_fileWrites(0);
thread_local unsigned t_depth = 0;
thread_local unsigned long t_batch = 0;

} // namespace

namespace plat {

CReadBatch::CReadBatch()
{
    if (t_depth++ == 0)
        t_batch = ++g_lastBatch;
}

CReadBatch::~CReadBatch()
{
    if (t_depth > 0 && --t_depth == 0)
        t_batch = 0;
}

unsigned long ReadBatchId()
{
    return t_batch;
}

void NoteFileWrite()
{
    ++g_fileWrites;
}

unsigned long FileWriteCount()
{
    return g_fileWrites;
}

} // namespace plat
