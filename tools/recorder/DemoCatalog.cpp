#include "DemoCatalog.h"

namespace recorder {

Catalog demoCatalog()
{
    // File names are the UTC start time in seconds, as on the real recorder;
    // the dates are local (Pacific) time.
    return {
        {"Movie Part 1/2 (Repeat)", "Standard", "12/05/2003", "20:00:00", "1070683200.mpg", 60, 3145731},
        {"Nova (Repeat)", "High", "03/14/2002", "21:00:00", "1016168400.mpg", 60, 5767201},
        {"Star Trek: The Next Generation", "Medium", "07/22/2004", "19:30:00", "1090553400.mpg", 45, 4194319},
        {"Law & Order; Criminal Intent", "Standard", "10/09/2002", "22:00:00", "1034229600.mpg", 60, 2621447},
        {"The \"Best\" of Saturday Night Live", "Medium", "01/31/2004", "23:30:00", "1075620600.mpg", 90, 4718603},
        {"Amélie", "High", "06/18/2005", "20:15:00", "1119154500.mpg", 122, 6094843},
        {"Movie Part 2/2", "Standard", "12/06/2003", "20:00:00", "1070769600.mpg", 58, 2097169},
        {"The Extraordinarily Long Documentary About Mountains Rivers and Oceans", "High",
         "04/02/2003", "21:00:00", "1049346000.mpg", 120, 5242883},
        {"Jeopardy!", "Medium", "09/11/2002", "19:00:00", "1031799600.mpg", 30, 2359301},
        {"Café Society: Señor Müller's Kitchen", "Standard", "02/28/2005", "18:30:00", "1109644200.mpg", 30, 2883613},
        {"60 Minutes", "High", "11/16/2003", "19:00:00", "1069038000.mpg", 60, 3670033},
        {"Frasier", "Medium", "08/05/2004", "21:30:00", "1091770200.mpg", 30, 3407881},
    };
}

} // namespace recorder
