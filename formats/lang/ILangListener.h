#pragma once

namespace s::lang {

class Localizer;

// Something that shows texts of the language pack and must re-read them when the user switches
// language. Components register with the localizer when they are created and remove themselves
// when they are destroyed.
class ILangListener {
public:
    virtual ~ILangListener() = default;
    virtual void languageChanged(Localizer& localizer) = 0;
};

}
