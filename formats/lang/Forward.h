#pragma once

namespace s::lang {
class LangPack;
class Localizer;
class ILangListener;
class LanguageNames;
class EmbeddedLangPack;
namespace os {
class UserLanguage;
}
}
