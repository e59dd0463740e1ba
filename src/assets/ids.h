// The asset ids by name, as the scene descriptions and the catalogue use them.
#pragma once

#include "runtime/picture.h"

namespace az::asset {

enum : int {
    BrickWall = 1,        // dark brick wall
    PowerPlantStreet,     // street before the power plant
    TownStreet,           // town street with three musicians
    LandingSite,          // landing site with the saucer
    Badge,                // the maker's badge
    HouseStreet,          // street before the agent's house
    Market,
    MerchantStall,
    ArrowCursor,          // double-headed horizontal arrow: the way on
    PinchSideCursor,      // gloved hand pinching, from the side
    HandCursor,           // gloved pointing hand
    PinchUprightCursor,   // gloved hand pinching, upright
    PinchCursor,          // gloved hand pinching, tilted: people and exits
    NoEntryCursor,        // pointing hand with a prohibition sign
    CrossHairCursor,
    Permit,
    AgentTalking,         // the agent, mouth open
    WordOptions,          // NASTAVENÍ
    WordPlay,             // HURÁ DO HRY
    WordMakers,           // STVOŘITELÉ
    WordExit,             // EGZIT
    TitleLogo,
    Lieutenant,
    Agent,
    AgentBubble,          // the agent's speech bubble
    LieutenantBubble,     // the lieutenant's speech bubble
    Cigars,
    CapPeakRight,
    Keys,
    Pistol,
    Banknotes,
    CapPeakLeft,
    CityMapWord,          // CITY MAP
    TownMap,
    MonkeyShot,
    Monkey,
    AgentAiming,
    MusicSheets,
    MinutesLater,         // O NĚKOLIK MINUT POZDĚJI ...
    StopSign,
    RadiationSign,
    Moon,
    Smiley,
    Office,               // the vector picture of the office
    Banner,               // the maker's animated banner
};

static_assert(Banner == kAssetCount, "every asset has its name");

}  // namespace az::asset
