// `import` and `export`: articulation maps of other music software to banks and back.
#pragma once

#include <string>
#include <vector>

namespace voxhost {

// Each map file's banks into DIR as .krylvox files (folders from the bank's group); what was
// left out on stdout (unless `quiet`: the summary alone), files that are not maps on stderr. 0
// when a bank was written.
int importMaps(const std::vector<std::string>& files, const std::string& folder, bool quiet);

// A .krylvox bank as a map file, the format from OUT's extension. 0 when written.
int exportBank(const std::string& bankPath, const std::string& outPath);

// A name made safe as one file or folder name on every system.
std::string safeFileName(const std::string& name);

}  // namespace voxhost
