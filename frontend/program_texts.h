// The program's fixed texts that more than one place shows.
#ifndef TALLYRA_FRONTEND_PROGRAM_TEXTS_H_
#define TALLYRA_FRONTEND_PROGRAM_TEXTS_H_

namespace tallyra {

// The version, in the banner and in both report headers.
constexpr char kVersionText[] = "June 30, 2019";
// Our authorship note, shown at the end of the help text's warranty line
// and in the result file's header.
constexpr char kAuthorshipNote[] = "written by the Tallyra developers.";
// The shorter note that ends the banner's first line, which then fits an
// 80-column console (76 characters).
constexpr char kBannerAuthorshipNote[] = "by the Tallyra developers.";
// The acknowledgement line of the banner and of the result file's header.
constexpr char kAcknowledgementLine[] =
    "Thanks to everyone who sent job files and reported faults.";

}  // namespace tallyra

#endif  // TALLYRA_FRONTEND_PROGRAM_TEXTS_H_
