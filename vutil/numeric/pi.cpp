#include "vutil/numeric/pi.h"

namespace vutil {

const double CPI::m_dPI = 3.141592653589793;

double CPI::GetPI() { return m_dPI; }

double CPI::ConvertRadiansToDegrees(double radians) { return radians * 180 / m_dPI; }

double CPI::ConvertDegreesToRadians(double degrees) { return degrees * m_dPI / 180; }

double CPI::ConvertClockHourToRadians(unsigned int hour) { return ConvertDegreesToRadians(hour * 30.0); }

double CPI::ConvertClockMinsToRadians(unsigned int minutes) { return ConvertDegreesToRadians(minutes * 6.0); }

double CPI::ConvertClockSecsToRadians(unsigned int seconds) { return ConvertDegreesToRadians(seconds * 6.0); }

double CPI::ConvertHourTimeToRadians(const DateTime& t) {
    if (!t.IsValid()) return 0;
    const double hours = t.GetHour() + t.GetMinute() / 60.0 + t.GetSecond() / 3600.0;
    return ConvertDegreesToRadians(hours * 30);
}

double CPI::ConvertMinsTimeToRadians(const DateTime& t) {
    if (!t.IsValid()) return 0;
    const double minutes = t.GetMinute() + t.GetSecond() / 60.0;
    return ConvertDegreesToRadians(minutes * 6);
}

}  // namespace vutil
