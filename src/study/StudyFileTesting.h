#pragma once
// Lets tests make the study writer fail at a chosen point (a full disk, an I/O error), which
// permissions alone cannot show when the tests run as root.

#include <cstddef>
#include <functional>

// Called instead of write(2) for the temporary file of SaveStudyFile (and the motor list's writers,
// which share the routine): returns the bytes written, or -1 with errno set. An empty function
// restores write(2).
using StudyWriteFunction = std::function<long(int fd, const char* data, std::size_t size)>;
void SetStudyWriterForTesting(StudyWriteFunction writer);
