#pragma once
// The host the platform layer runs on: the SDL host (a real window, audio device, keyboard) or
// the headless host (no window or device, a virtual clock, scripted input, everything recorded).
// Game code never includes this header; the program's entry, tests, tools and benchmarks do.
#include <cstdint>
#include <string>
#include <vector>

enum class HostKind { Sdl, Headless };

// Chooses the host before anything else runs. HostStart consumes the layer's own command-line
// options ("--host=sdl", "--host=headless") and reads PLAYER_HOST ("sdl" or "headless") when no
// option gives one; the default is the SDL host. The options are removed from argv.
void HostStart(int* argc, char** argv);
void HostSelect(HostKind kind);
HostKind CurrentHost();
bool IsHeadless();

// Takes the named option "--name=value" out of argv when present (for host options of later
// subsystems such as a frame limit or an input script). Empty when absent.
std::string HostTakeOption(int* argc, char** argv, const char* name);

// The headless host's virtual clock, in milliseconds; it advances only when a thread sleeps.
uint32_t HostVirtualTime();
void HostSetVirtualTime(uint32_t milliseconds);
void HostAdvanceVirtualTime(uint32_t milliseconds);
// The one thread whose sleeps drive the virtual clock (a thread id of the window layer; 0: every
// thread's sleeps do, the default). While one is named, other threads' sleeps wait in real time,
// so a run with the same input gives the same frames however the threads are scheduled.
// HostClockDriverNone names no thread: the clock stands still until a driver is named.
constexpr uint32_t HostClockDriverNone = 0xFFFFFFFFu;
void HostSetClockDriver(uint32_t threadId);
uint32_t HostClockDriver();

// A message box shown on the headless host.
struct RecordedMessageBox {
    std::string text;      // as given: code page 932
    std::string caption;
    std::string textUtf8;
    std::string captionUtf8;
    uint32_t type;
    int answer;
};
// Answers for the next boxes, in order; when none is queued a box gets its default button (its
// style's first button unless the box names another).
void HostQueueMessageBoxAnswer(int answer);
std::vector<RecordedMessageBox> HostRecordedMessageBoxes();
void HostClearRecordedMessageBoxes();
// Used inside the layer: records a box, and takes the next queued answer (false when none).
void HostRecordMessageBox(const RecordedMessageBox& box);
bool HostTakeMessageBoxAnswer(int* answer);

// Failures the game code handles, producible on demand. Each armed fault fires on the next
// matching call (count times) and then disarms.
enum class HostFault {
    ThreadCreate,     // BeginThread returns null
    FileOpen,         // PlatformFopen returns null
    CurrentDirectory, // GetCurrentDirectory fails
};
void HostArmFault(HostFault fault, int count = 1);
void HostDisarmAllFaults();
bool HostTakeFault(HostFault fault);   // used inside the layer: true when the fault fires now

// Code page 932 and UTF-8. Bytes that cannot be converted become "?".
std::string Cp932ToUtf8(const std::string& text);
std::string Utf8ToCp932(const std::string& text);
