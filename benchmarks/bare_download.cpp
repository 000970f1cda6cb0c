// The baseline of download_bench: the same static curl, one plain GET
// written to a file with fwrite, nothing else.
// Usage: bare_download.exe URL FILE. Prints "seconds <s> peak_mb <mb>".
// curl brings winsock2.h, which must come before windows.h.
#include <curl/curl.h>
#include <windows.h>

#include <cstdio>

#include "peak_memory.h"

namespace {
size_t Write(char* data, size_t size, size_t count, void* file) {
    return fwrite(data, size, count, static_cast<FILE*>(file));
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bare_download.exe URL FILE\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    FILE* file = fopen(argv[2], "wb");
    if (!file) return 1;
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURL* easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_URL, argv[1]);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Write);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, file);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    CURLcode result = curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    fclose(file);
    QueryPerformanceCounter(&end);
    if (result != CURLE_OK) {
        fprintf(stderr, "download failed: %s\n", curl_easy_strerror(result));
        return 1;
    }
    printf("seconds %.3f peak_mb %.1f\n", double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart),
           PeakWorkingSetMb());
    return 0;
}
