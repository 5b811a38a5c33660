#pragma once

#include "core/GameInfoSource.h"
#include "core/model/WindowModel.h"

namespace squadlink {

// The game info as the window holds it: the War Arranger's game box, password and scanned
// details, and the rules a Fighter applies to what it receives.
class GameInfo : public GameInfoSource {
public:
    explicit GameInfo(const WindowModel& ui) : m_ui(ui) {}

    bool gameInfoKnown() const override;
    std::string protectionCode() const override;
    std::string protectionText(std::string_view code) const override;
    bool acceptsGameInfo(std::string_view address, std::string_view password) const override;

private:
    const WindowModel& m_ui;
};

}  // namespace squadlink
