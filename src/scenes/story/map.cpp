#include "scenes/story/map.h"

namespace az::story {

Target lockOf(Place p) {
    switch (p) {
    case Place::Home: return onScene("Form7", "Label8");
    case Place::PowerPlant: return onScene("Form7", "Label10");
    case Place::Merchant: return onScene("Form7", "Label6");
    case Place::Market: return onScene("Form7", "Label7");
    case Place::Town: return onScene("Form7", "Label9");
    }
    return onScene("Form7", "");
}

Target nameOf(Place p) {
    switch (p) {
    case Place::Home: return onScene("Form7", "Label1");
    case Place::PowerPlant: return onScene("Form7", "Label2");
    case Place::Merchant: return onScene("Form7", "Label3");
    case Place::Market: return onScene("Form7", "Label4");
    case Place::Town: return onScene("Form7", "Label5");
    }
    return onScene("Form7", "");
}

}  // namespace az::story
