// The data error stop: the end of a run on bad or incomplete job data.
//
// Shows on Screen a bell line, "Error in data; possibly/appeared at: ", the
// message and "  Press <enter> to quit"; waits for one Enter; closes JobFile
// and ResultFile if open (the result file keeps all the run wrote to it and
// gets no trace of the error); ends the process with exit status 0.
#ifndef TALLYRA_RUN_DATA_ERROR_STOP_H_
#define TALLYRA_RUN_DATA_ERROR_STOP_H_

#include <string_view>

namespace tallyra {

// `message` is shown unchanged; callers cut composed messages to 255
// characters first.
[[noreturn]] void dataErrorStop(std::string_view message);

// Stops with the message composed of `prefix`, `text` and `suffix`, cut to
// one text line of 255 characters.
[[noreturn]] void dataErrorStop(std::string_view prefix, std::string_view text,
                                std::string_view suffix);

}  // namespace tallyra

#endif  // TALLYRA_RUN_DATA_ERROR_STOP_H_
