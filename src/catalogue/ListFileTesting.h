#pragma once
// Lets tests make the list writers fail at a chosen point, since permissions do not stop root.

#include <cstddef>
#include <functional>

// Called instead of write(2) by every list writer (appends and temporary files alike): returns the
// bytes written, or -1 with errno set. An empty function restores write(2).
using ListWriteFunction = std::function<long(int fd, const char* data, std::size_t size)>;
void SetListWriterForTesting(ListWriteFunction writer);
