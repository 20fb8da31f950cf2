// The title scene.
#pragma once

bool TitleScene();
