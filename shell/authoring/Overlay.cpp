#include "shell/authoring/Overlay.h"

#include <GL/glew.h>
#include <imgui.h>
#include <imgui_impl_opengl3.h>

#include "core/ErrorReport.h"

namespace {

const float kMargin = 10;
const float kPanelWidth = 470;
const float kStripHeight = 26;
const ImU32 kEntryColours[2] = {IM_COL32(60, 90, 150, 200), IM_COL32(90, 120, 70, 200)};
const ImU32 kLoopColour = IM_COL32(255, 200, 40, 255);
const ImU32 kPositionColour = IM_COL32(255, 255, 255, 255);
const ImVec4 kErrorColour(1.0f, 0.4f, 0.35f, 1.0f);
const ImGuiWindowFlags kFixed = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize |
                                ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                                ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoFocusOnAppearing |
                                ImGuiWindowFlags_NoScrollbar;

void buildPanel(const OverlayFacts& facts) {
    float width = facts.width - 2 * kMargin < kPanelWidth ? facts.width - 2 * kMargin : kPanelWidth;
    ImGui::SetNextWindowPos(ImVec2(kMargin, kMargin), ImGuiCond_Always);
    ImGui::SetNextWindowSize(ImVec2(width, 0), ImGuiCond_Always);
    ImGui::SetNextWindowBgAlpha(0.65f);
    ImGui::Begin("facts", nullptr, kFixed);
    ImGui::PushTextWrapPos(0); // long lines wrap at the panel's edge on small frames
    std::vector<std::string> lines = overlayLines(facts);
    size_t plain = lines.size() - facts.errors.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i < plain)
            ImGui::TextUnformatted(lines[i].c_str());
        else
            ImGui::TextColored(kErrorColour, "%s", lines[i].c_str());
    }
    ImGui::PopTextWrapPos();
    ImGui::End();
}

// The entries as coloured spans over the track, the loop as a frame, the music
// time as a line; returns true with *seekSeconds while the strip is clicked or dragged.
bool buildStrip(const OverlayFacts& facts, float* seekSeconds) {
    const ImGuiStyle& style = ImGui::GetStyle();
    float height = kStripHeight + 2 * style.WindowPadding.y;
    ImGui::SetNextWindowPos(ImVec2(kMargin, facts.height - kMargin - height), ImGuiCond_Always);
    ImGui::SetNextWindowSize(ImVec2(facts.width - 2 * kMargin, height), ImGuiCond_Always);
    ImGui::SetNextWindowBgAlpha(0.65f);
    ImGui::Begin("timeline", nullptr, kFixed);
    ImVec2 origin = ImGui::GetCursorScreenPos();
    float width = ImGui::GetContentRegionAvail().x;
    ImGui::InvisibleButton("strip", ImVec2(width > 1 ? width : 1, kStripHeight));
    ImDrawList* draw = ImGui::GetWindowDrawList();
    float top = origin.y, bottom = origin.y + kStripHeight;
    for (size_t i = 0; i < facts.entryStarts.size(); ++i) {
        float end = i + 1 < facts.entryStarts.size() ? facts.entryStarts[i + 1] : facts.trackSeconds;
        float x0 = stripX(facts.entryStarts[i], origin.x, width, facts.trackSeconds);
        float x1 = stripX(end, origin.x, width, facts.trackSeconds);
        draw->AddRectFilled(ImVec2(x0, top), ImVec2(x1, bottom), kEntryColours[i % 2]);
        char label[16];
        snprintf(label, sizeof(label), "%d", facts.entryScenes[i]);
        if (x1 - x0 > ImGui::CalcTextSize(label).x + 6)
            draw->AddText(ImVec2(x0 + 4, top + (kStripHeight - ImGui::GetFontSize()) / 2), kPositionColour,
                          label);
    }
    if (facts.looping)
        draw->AddRect(ImVec2(stripX(facts.loopStart, origin.x, width, facts.trackSeconds), top),
                      ImVec2(stripX(facts.loopEnd, origin.x, width, facts.trackSeconds), bottom), kLoopColour,
                      0, 0, 2);
    float x = stripX(facts.seconds, origin.x, width, facts.trackSeconds);
    draw->AddLine(ImVec2(x, top - 2), ImVec2(x, bottom + 2), kPositionColour, 2);
    bool seek = ImGui::IsItemActive() && (ImGui::IsItemClicked() || ImGui::GetIO().MouseDelta.x != 0);
    if (seek)
        *seekSeconds = stripSeconds(ImGui::GetIO().MousePos.x, origin.x, width, facts.trackSeconds);
    ImGui::End();
    return seek;
}

} // namespace

Overlay::Overlay() {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // nothing written beside the show's data
    io.LogFilename = nullptr;
    ImGui::StyleColorsDark();
    ready = ImGui_ImplOpenGL3_Init(nullptr);
    if (!ready)
        reportError("The authoring overlay could not set up its renderer; it stays off\n");
}

Overlay::~Overlay() {
    if (ready)
        ImGui_ImplOpenGL3_Shutdown();
    ImGui::DestroyContext();
}

bool Overlay::build(const OverlayFacts& facts, float deltaSeconds, float* seekSeconds) {
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize =
        ImVec2((float)(facts.width > 0 ? facts.width : 1), (float)(facts.height > 0 ? facts.height : 1));
    io.DeltaTime = deltaSeconds > 0 ? deltaSeconds : 1.0f / 60.0f;
    ImGui_ImplOpenGL3_NewFrame();
    ImGui::NewFrame();
    buildPanel(facts);
    float seconds = 0;
    bool seek = buildStrip(facts, &seconds);
    if (seek && seekSeconds)
        *seekSeconds = seconds;
    ImGui::Render();
    return seek;
}

void Overlay::settle(const OverlayFacts& facts, float deltaSeconds) {
    if (ready)
        build(facts, deltaSeconds, nullptr);
}

bool Overlay::draw(const OverlayFacts& facts, float deltaSeconds, float* seekSeconds) {
    if (!ready)
        return false;
    bool seek = build(facts, deltaSeconds, seekSeconds);
    GLint framebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    return seek;
}
