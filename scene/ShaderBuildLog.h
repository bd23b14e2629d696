#pragma once
#include <algorithm>
#include <string>
#include <vector>

// What live editing learns from the shader programs one reload builds: whether any
// failed, and which failure messages were already printed, so that a file several
// programs or scenes load explains its failure once per reload instead of once per
// program. Owned by the live editing that hands it to ShaderProgram.
class ShaderBuildLog {
  public:
    // A new reload: nothing failed or printed yet.
    void beginReload() {
        failed = 0;
        kept = 0;
        printed.clear();
        messages.clear();
    }
    // True the first time `message` comes in this reload: print it then only.
    bool firstTime(const std::string& message) {
        if (std::find(printed.begin(), printed.end(), message) != printed.end())
            return false;
        printed.push_back(message);
        return true;
    }

    int failed = 0; // programs of this reload that did not compile or link
    int kept = 0;   // of those, the ones still drawing with their last linked version
    // Every failure message of this reload in order, printed or not, so that each
    // scene's own failures can be shown beside its picture.
    std::vector<std::string> messages;

  private:
    std::vector<std::string> printed;
};
