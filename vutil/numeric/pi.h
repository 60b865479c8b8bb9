#pragma once
// Angle conversions, clock hands included.

#include "vutil/dates/date_time.h"

namespace vutil {

class CPI {
public:
    static const double m_dPI;

    static double GetPI();
    static double ConvertRadiansToDegrees(double radians);
    static double ConvertDegreesToRadians(double degrees);
    static double ConvertClockHourToRadians(unsigned int hour);
    static double ConvertClockMinsToRadians(unsigned int minutes);
    static double ConvertClockSecsToRadians(unsigned int seconds);
    // Hour-hand angle of t's time; hours from 12 on are not folded back. 0 unless t
    // has a valid date and time.
    static double ConvertHourTimeToRadians(const DateTime& t);
    static double ConvertMinsTimeToRadians(const DateTime& t);
};

}  // namespace vutil
