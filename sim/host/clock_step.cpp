// "clock YYYY-MM-DD HH:MM": from that step on, the plug-in's GetLocalTime
// answers that time, seconds 0, with its weekday. Before any clock step the
// real time passes through. The plug-in may read it from its own thread,
// hence the lock.
#include "host.h"
#include "import_patch.h"

#include <cctype>

enum { FIRST_YEAR = 1601 }; // SYSTEMTIME's first; four digits end at 9999, within its range

static CRITICAL_SECTION clockLock;
static bool clockSet;
static SYSTEMTIME shownTime;

static bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

static int daysInMonth(int year, int month)
{
    static const int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : DAYS[month - 1];
}

// 0 = Sunday, as SYSTEMTIME counts (Sakamoto's method over the Gregorian
// calendar).
static int weekday(int year, int month, int day)
{
    static const int MONTH_SHIFT[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        year--;
    return (year + year / 4 - year / 100 + year / 400 + MONTH_SHIFT[month - 1] + day) % 7;
}

// The digits of `text` from `at`, `count` of them; false on anything else.
static bool digits(const std::string &text, size_t at, size_t count, int *value)
{
    *value = 0;
    for (size_t i = at; i < at + count; i++) {
        if (i >= text.size() || !std::isdigit((unsigned char)text[i]))
            return false;
        *value = *value * 10 + (text[i] - '0');
    }
    return true;
}

// The step's time, or false with what is wrong with it.
static bool parseClock(const Step &step, SYSTEMTIME *time, std::string *problem)
{
    int year, month, day, hour, minute;
    bool shaped = step.words.size() == 2 && step.words[0].size() == 10 && step.words[1].size() == 5 &&
                  digits(step.words[0], 0, 4, &year) && step.words[0][4] == '-' &&
                  digits(step.words[0], 5, 2, &month) && step.words[0][7] == '-' &&
                  digits(step.words[0], 8, 2, &day) && digits(step.words[1], 0, 2, &hour) &&
                  step.words[1][2] == ':' && digits(step.words[1], 3, 2, &minute);
    if (!shaped)
        *problem = "expected 'clock YYYY-MM-DD HH:MM', got 'clock " + step.text + "'";
    else if (year < FIRST_YEAR)
        *problem = "the year " + std::to_string(year) + " is before " + std::to_string(FIRST_YEAR);
    else if (month < 1 || month > 12)
        *problem = "the month " + std::to_string(month) + " is not 1 to 12";
    else if (day < 1 || day > daysInMonth(year, month))
        *problem = "the day " + std::to_string(day) + " is not in " + step.words[0].substr(0, 7);
    else if (hour > 23)
        *problem = "the hour " + std::to_string(hour) + " is not 0 to 23";
    else if (minute > 59)
        *problem = "the minute " + std::to_string(minute) + " is not 0 to 59";
    else {
        *time = SYSTEMTIME{};
        time->wYear = (WORD)year;
        time->wMonth = (WORD)month;
        time->wDay = (WORD)day;
        time->wDayOfWeek = (WORD)weekday(year, month, day);
        time->wHour = (WORD)hour;
        time->wMinute = (WORD)minute;
        return true;
    }
    return false;
}

void setClock(const Step &step)
{
    SYSTEMTIME time;
    std::string problem;
    if (!parseClock(step, &time, &problem))
        fail(&step, problem);
    EnterCriticalSection(&clockLock);
    shownTime = time;
    clockSet = true;
    LeaveCriticalSection(&clockLock);
}

static VOID WINAPI hookGetLocalTime(LPSYSTEMTIME time)
{
    EnterCriticalSection(&clockLock);
    bool set = clockSet;
    if (set)
        *time = shownTime;
    LeaveCriticalSection(&clockLock);
    if (!set)
        GetLocalTime(time);
}

void startClock()
{
    InitializeCriticalSection(&clockLock);
}

void patchClockCalls(HMODULE plugin)
{
    patchImport(plugin, "GetLocalTime", (void *)hookGetLocalTime);
}
