#include "operations/finish_beep.h"

bool FinishBeepDue(const FinishBeepSettings& settings, int64_t elapsedMilliseconds)
{
    if (settings.beep == 0)
        return false;
    // A negative setting would make every operation "long": count it as no wait at all, as a
    // timer of that length would expire at once.
    int64_t minutes = settings.beepEditMinutes < 0 ? 0 : settings.beepEditMinutes;
    return elapsedMilliseconds >= minutes * 60000;
}
