// The addresses the dialogs open, kept in one place. Web links are link texts: the
// switch "-new " and the address (support/web_page.h). The product's, the maker's and
// the lighter saver's addresses stand under the reserved example domain until real
// ones exist.
#ifndef TILO_SUPPORT_LINKS_H
#define TILO_SUPPORT_LINKS_H

#define TILO_LINK_PRODUCT "-new http://www.example.org/tilo/"
#define TILO_LINK_VELIN "-new http://www.example.org/velin/"
#define TILO_LINK_CAMPAIGN_FOR_TIBET "-new https://savetibet.org/"
#define TILO_LINK_TIBET_SOCIETY "-new https://www.tibetsociety.com/"

// The maker's mail address, as the link the shell hands to the mail program.
#define TILO_MAIL_LINK "mailto:tilo@example.org?subject=Tilo screen saver"

#endif
