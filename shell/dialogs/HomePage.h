// HomePage: the address of the product's home page, shown by the About box
// and opened by the view's home-page button and the Help menu (as a bare
// host, turned into a link with QUrl::fromUserInput).
#pragma once

namespace drelin {

constexpr char kHomePageAddress[] = "www.tarnova-drelin.example";

}  // namespace drelin
