// The headless host's record of message boxes and the answers queued for them.
#include <cstdio>
#include <deque>
#include <mutex>

#include "platform/host/Host.h"

namespace {
std::mutex g_boxLock;
std::deque<int> g_answers;
std::vector<RecordedMessageBox> g_boxes;
}

void HostQueueMessageBoxAnswer(int answer)
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    g_answers.push_back(answer);
}

bool HostTakeMessageBoxAnswer(int* answer)
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    if (g_answers.empty()) return false;
    *answer = g_answers.front();
    g_answers.pop_front();
    return true;
}

void HostRecordMessageBox(const RecordedMessageBox& box)
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    g_boxes.push_back(box);
    // A whole-program run shows its boxes to whoever watches it (tests read them back).
    std::fprintf(stderr, "[box] %s | %s | answer %d\n", box.captionUtf8.c_str(),
                 box.textUtf8.c_str(), box.answer);
    std::fflush(stderr);
}

std::vector<RecordedMessageBox> HostRecordedMessageBoxes()
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    return g_boxes;
}

void HostClearRecordedMessageBoxes()
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    g_boxes.clear();
    g_answers.clear();
}
