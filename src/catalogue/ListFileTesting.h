#pragma once
// Lets tests make the list writers fail at a chosen point, since permissions do not stop root,
// and wait less for another program's lock.

#include <chrono>
#include <cstddef>
#include <functional>

// Called instead of write(2) by every list writer (appends and temporary files alike): returns the
// bytes written, or -1 with errno set. An empty function restores write(2).
using ListWriteFunction = std::function<long(int fd, const char* data, std::size_t size)>;
void SetListWriterForTesting(ListWriteFunction writer);

// How long a list change waits for the lock another program holds (readers wait at most 2 s of
// it); 0 restores the usual 10 s.
void SetListLockWaitForTesting(std::chrono::milliseconds wait);
