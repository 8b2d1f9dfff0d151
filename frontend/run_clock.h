// The run's two readings of the clock: when the counting begins (after the
// job file's header, just before the report header) and when it has ended
// (after the last job); the report shows both and the time between them.
#ifndef TALLYRA_FRONTEND_RUN_CLOCK_H_
#define TALLYRA_FRONTEND_RUN_CLOCK_H_

#include "platform/platform.h"

namespace tallyra {

inline TimeOfDay startTime;
inline TimeOfDay endTime;

}  // namespace tallyra

#endif  // TALLYRA_FRONTEND_RUN_CLOCK_H_
