#pragma once
// Reads report project files (".rav"). The format is ours: an XML document, UTF-8.
//
//   <project>
//     <font name="cell" family="DejaVu Sans" size="7.5" bold="yes" italic="no" condensed="yes"/>
//     <band name="gameheader" h="24"> items </band>        shared by the reports below
//     <report name="Rosters" margin="10" font="cell">
//       <pageheader h="30"> items, or <use band="gameheader"/> </pageheader>   on every page
//       <pagefooter h="8"> items </pagefooter>                                  on every page
//       <body> blocks, spaces and tables, from top to bottom, onto as many pages as they need
//         <block h="12" keepnext="yes"> items </block>   (or <use band="..."/>)
//         <space h="3"/>
//         <table ...> ... </table>
//       </body>
//     </report>
//   </project>
//
// Lengths are millimetres from the top left corner of the band or block inside the page margins;
// x and w may also be a percentage of that width ("50%"). Colours are "#rrggbb".
//
// Items:
//   <text x y w h font align="left|center|right" valign="top|middle|bottom" wrap="yes"
//         fit="shrink|name|elide" color when unless>template</text>
//   <line x1 y1 x2 y2 width color when unless/>
//   <rect x y w h fill border width when unless/>
//   <picture x y w h source="header|footer|logo|..." align when unless/>   keeps its proportions
//   <repeat keys="1-10" x y w dx dy align when unless> items </repeat>
//       its items once per key that passes the condition, moved on by dx, dy each time; with an
//       alignment the run of them is placed inside w
//
// Templates: {NAME} is the text of the parameter NAME (in a table row, first the row's column
// NAME); a parameter never set is empty. "$" anywhere in a template or a condition is the current
// key. {#page} and {#pages} are the page number and count, {#roman:N} the roman numeral of N,
// "\n" a line break; so are carriage returns in the texts. when="NAME" prints an item only when
// NAME has a text (blanks alone are none), unless="NAME" only when it has none.
// Keys: "A1-A12 A14 B" is A1 to A12, A14 and B.
//
// Tables:
//   <table x w font headfont groupfont rowh pad vpad stripe headfill groupfill headrule
//          continued="template">
//     <column id w="12|*" align wrap="yes" fit head="title">template</column>   w="*": the rest
//     <rows source="Connection" group="{Quarter}"/>         the connection's rows
//     <rows keys="A1-A12 A14-A31" when="Name$"/>           one row per key that passes
//     <row key="A13" font fill ruleabove when unless>      a row of its own; with a key the
//       <cell col="id" span="2" align>template</cell>       columns' templates fill the cells
//     </row>                                                 it does not give
//   </table>
// The column heads start the table and every page it continues on, below the band of
// "continued" when it is given; rows never split; alternate rows of a source get the stripe
// colour; a group text that changes prints a band across the table. Cell texts never overflow their column: they are fitted as fit says (names are
// shortened to initials and surname), wrapped when wrap="yes".

#include <filesystem>
#include <string>
#include <string_view>

#include "records/result.h"
#include "reports/engine/report_layout.h"

namespace velmora::report {

// Reads and checks a project file; the error names the file and, for a fault inside it, the line.
TResult<TProject> LoadProject(const std::filesystem::path& file);
// The same for the text of a file named `fileName`.
TResult<TProject> ParseProject(std::string_view text, const std::string& fileName);

// The keys of a key list ("A1-A3 B" gives A1, A2, A3, B); none when it cannot be read.
std::optional<std::vector<QString>> ExpandKeys(const QString& keys);

}  // namespace velmora::report
