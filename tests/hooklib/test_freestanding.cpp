// The memory and string routines every process on the desktop calls through
// the hook library, in place of a runtime's: exactly the bytes asked for,
// overlapping moves both ways, byte values compared unsigned; and a pure
// virtual call stops where it is.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

extern "C" {
void* ptr_freestanding_memcpy(void* to, const void* from, size_t count);
void* ptr_freestanding_memmove(void* to, const void* from, size_t count);
void* ptr_freestanding_memset(void* to, int value, size_t count);
int ptr_freestanding_memcmp(const void* a, const void* b, size_t count);
size_t ptr_freestanding_strlen(const char* text);
int ptr_freestanding_strcmp(const char* a, const char* b);
void ptr_freestanding___cxa_pure_virtual();
}

namespace {

int Sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

// Each case works on "0123456789" and must leave it as expected, the
// routine returning its destination.
TEST(Freestanding, CopiesMovesAndFillsExactlyTheBytesAskedFor) {
    const struct {
        const char* name;
        void* (*run)(char* text);
        size_t returned;  // offset of the destination
        const char* after;
    } rows[] = {
        {"copy 3", [](char* t) { return ptr_freestanding_memcpy(t + 6, t, 3); }, 6, "0123450129"},
        {"copy nothing", [](char* t) { return ptr_freestanding_memcpy(t + 1, t, 0); }, 1, "0123456789"},
        {"move up over itself", [](char* t) { return ptr_freestanding_memmove(t + 2, t, 6); }, 2, "0101234589"},
        {"move down over itself", [](char* t) { return ptr_freestanding_memmove(t, t + 2, 6); }, 0, "2345676789"},
        {"move onto itself", [](char* t) { return ptr_freestanding_memmove(t + 3, t + 3, 4); }, 3, "0123456789"},
        {"fill with the low byte", [](char* t) { return ptr_freestanding_memset(t + 1, 0x100 | 'x', 4); }, 1, "0xxxx56789"},
        {"fill nothing", [](char* t) { return ptr_freestanding_memset(t + 9, 'x', 0); }, 9, "0123456789"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char text[] = "0123456789";
        EXPECT_EQ(row.run(text), text + row.returned);
        EXPECT_STREQ(text, row.after);
    }
}

TEST(Freestanding, ComparesBytesUnsignedAndMeasuresText) {
    const struct {
        const char* a;
        const char* b;
        size_t count;
        int memcmpSign;
        int strcmpSign;
    } rows[] = {
        {"abc", "abc", 4, 0, 0},       {"abc", "abd", 3, -1, -1},    {"abd", "abc", 3, 1, 1},
        {"abc", "abd", 2, 0, -1},      {"ab", "abc", 3, -1, -1},     {"\x80", "\x7f", 1, 1, 1},
        {"\xff", "a", 1, 1, 1},        {"", "", 1, 0, 0},            {"x", "y", 0, 0, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " / " + row.b);
        EXPECT_EQ(Sign(ptr_freestanding_memcmp(row.a, row.b, row.count)), row.memcmpSign);
        EXPECT_EQ(Sign(ptr_freestanding_strcmp(row.a, row.b)), row.strcmpSign);
        EXPECT_EQ(ptr_freestanding_strlen(row.a), std::strlen(row.a));
    }
    EXPECT_EQ(ptr_freestanding_strlen("a\0b"), 1u);
}

// The trap is the routine's first instruction: the handler lets the test
// go on as if the routine had returned, and counts it.
int g_traps = 0;

LONG CALLBACK ReturnFromTrap(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    if (record.ExceptionCode != STATUS_ILLEGAL_INSTRUCTION ||
        record.ExceptionAddress != reinterpret_cast<void*>(&ptr_freestanding___cxa_pure_virtual))
        return EXCEPTION_CONTINUE_SEARCH;
    ++g_traps;
    CONTEXT& context = *exception->ContextRecord;
#ifdef _WIN64
    context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
    context.Rsp += sizeof(DWORD64);
#else
    context.Eip = *reinterpret_cast<DWORD*>(context.Esp);
    context.Esp += sizeof(DWORD);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

TEST(Freestanding, APureVirtualCallStops) {
    void* handler = AddVectoredExceptionHandler(1, ReturnFromTrap);
    ASSERT_NE(handler, nullptr);
    g_traps = 0;
    ptr_freestanding___cxa_pure_virtual();
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(g_traps, 1) << "the call went on without a trap";
}

}  // namespace
