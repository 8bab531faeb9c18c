// Marks an entry that an outside library exports by its plain C name.
#pragma once

#ifdef _WIN32
#define TARN_LIBRARY_EXPORT extern "C" __declspec(dllexport)
#else
#define TARN_LIBRARY_EXPORT extern "C" __attribute__((visibility("default")))
#endif
