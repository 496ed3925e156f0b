// Leaks on purpose, for the test of the leak checker's suppressions. Each argument leaks one
// thing: "dbus" a message that the D-Bus library made, "own" a block of this program's own.
#include <dbus/dbus.h>

#include <cstring>

namespace {

// The only pointer to a leaked thing, wiped at once, so that the checker finds nothing that still
// reaches it.
void* volatile g_lpBlock = nullptr;

// Clears the stack below the caller, where a copy of a leaked pointer could still lie.
__attribute__((noinline)) void ClearStack()
{
    volatile char area[16384];
    for (char& c : const_cast<char(&)[sizeof area]>(area)) c = 0;
}

__attribute__((noinline)) void LeakFromDbus()
{
    g_lpBlock = dbus_message_new(DBUS_MESSAGE_TYPE_SIGNAL);
    g_lpBlock = nullptr;
    // A copy of the last pointer made can linger where the checker looks; a second message,
    // released properly, takes its place.
    dbus_message_unref(dbus_message_new(DBUS_MESSAGE_TYPE_SIGNAL));
}

__attribute__((noinline)) void LeakOwn()
{
    g_lpBlock = new char[77];
    g_lpBlock = nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "dbus") == 0) LeakFromDbus();
        if (std::strcmp(argv[i], "own") == 0) LeakOwn();
        ClearStack();
    }
    return 0;
}
