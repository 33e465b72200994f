// Starts Ahnemetri in the page: checks that the browser can run it, downloads the program with
// its progress shown, scales the windows down on a screen too small for them, and says so in
// Finnish when the program cannot start or has ended.
'use strict';

(() => {
    const program = document.currentScript.dataset.program;
    const container = document.getElementById('screen');
    const message = document.getElementById('message');
    const messageText = document.getElementById('message-text');
    const progress = document.getElementById('progress');
    const restart = document.getElementById('restart');

    // The largest window (the results), title bar and border included, in CSS pixels, with a
    // margin around it. A smaller screen shows every window scaled down by the same factor.
    const LARGEST_WINDOW = { width: 489 + 2 * 4 + 16, height: 321 + 32 + 4 + 16 };

    function say(text, { showProgress = false, restartLabel = null } = {}) {
        message.hidden = false;
        messageText.textContent = text;
        progress.hidden = !showProgress;
        restart.hidden = !restartLabel;
        if (restartLabel) {
            restart.textContent = restartLabel;
            restart.focus();
        }
    }

    function browserLacks() {
        if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function')
            return 'WebAssemblyä';
        const canvas = document.createElement('canvas');
        if (!(canvas.getContext('webgl2') || canvas.getContext('webgl')))
            return 'WebGL-grafiikkaa';
        return null;
    }

    // Downloads the program, showing how much of it has come; the size is known when the
    // server gives it (a server that compresses on the fly may not).
    async function download(file) {
        const response = await fetch(file);
        if (!response.ok)
            throw new Error(`${file}: ${response.status}`);
        const total = Number(response.headers.get('Content-Length')) || 0;
        if (!response.body || !total) {
            progress.removeAttribute('value');
            return response.arrayBuffer();
        }
        const reader = response.body.getReader();
        const bytes = new Uint8Array(total);
        let received = 0;
        for (;;) {
            const { done, value } = await reader.read();
            if (done)
                break;
            if (received + value.length > total) // compressed in transit: the header was wrong
                return new Blob([bytes.subarray(0, received), value, await response.arrayBuffer()])
                    .arrayBuffer();
            bytes.set(value, received);
            received += value.length;
            progress.value = Math.floor(100 * received / total);
            messageText.textContent = `Ladataan Ahnemetriä… ${progress.value} %`;
        }
        return bytes.subarray(0, received).buffer;
    }

    // A screen narrower or lower than the largest window (a phone) gets a wider page, which its
    // browser zooms out to fit: every window is then shown whole, all of it scaled alike, and
    // touches land where they are drawn. Desktop browsers leave the page as it is.
    const viewport = document.querySelector('meta[name=viewport]');
    function fitSmallScreen() {
        viewport.content = 'width=device-width, initial-scale=1';
        const width = window.innerWidth;
        const height = window.innerHeight;
        const needed = Math.ceil(Math.max(LARGEST_WINDOW.width,
                                          LARGEST_WINDOW.height * width / height));
        if (needed > width)
            viewport.content = `width=${needed}`;
    }

    // Qt keeps its accessibility behind a hidden button in each window, for a screen reader to
    // press; the program is meant to be heard from its first window on, so the page presses it.
    // The start window exists once the program has started.
    function enableScreenReaders() {
        const root = container.querySelector('#qt-shadow-container')?.shadowRoot;
        root?.querySelector('button.hidden-visually-read-by-screen-reader')?.click();
    }

    async function start() {
        const lacking = browserLacks();
        if (lacking) {
            say(`Ahnemetri ei toimi tässä selaimessa, koska se ei tue ${lacking}. `
                + 'Kokeile jotakin uudempaa selainta.');
            return;
        }
        say('Ladataan Ahnemetriä…', { showProgress: true });
        try {
            const module = WebAssembly.compile(await download(`${program}.wasm`));
            say('Käynnistetään…');
            const instance = await qtLoad({
                qt: {
                    module,
                    containerElements: [container],
                    entryFunction: window[`${program}_entry`],
                    onLoaded: () => { message.hidden = true; },
                    onExit: exitData => {
                        container.replaceChildren();
                        container.hidden = true;
                        if (exitData.crashed)
                            say('Ahnemetri pysähtyi virheeseen.',
                                { restartLabel: 'Käynnistä uudelleen' });
                        else
                            say('Ahnemetri on päättynyt. Kiitos testistä!',
                                { restartLabel: 'Käynnistä uudelleen' });
                    },
                },
            });
            if (instance)
                enableScreenReaders();
        } catch (error) {
            console.error(error);
            container.hidden = true;
            say('Ahnemetrin lataaminen epäonnistui. Tarkista verkkoyhteys ja yritä uudelleen.',
                { restartLabel: 'Yritä uudelleen' });
        }
    }

    restart.addEventListener('click', () => window.location.reload());
    fitSmallScreen();
    screen.orientation?.addEventListener('change', fitSmallScreen);

    if ('serviceWorker' in navigator) {
        navigator.serviceWorker.register('sw.js').catch(error => {
            console.warn('Ahnemetri: no offline use', error);
        });
    }

    start();
})();
