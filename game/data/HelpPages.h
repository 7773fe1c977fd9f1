// The help picture of the help screen (rules, power-up capsules, controls) and the full help page
// doc/gamehelp.htm that its "More" button opens.
#pragma once

namespace gamedata {

class DataOutput;

void MakeHelp(DataOutput& out);

}  // namespace gamedata
