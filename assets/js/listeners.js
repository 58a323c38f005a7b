// Functions that want to hear of a change, called in the order they were added.
var Listeners = (function() {
    'use strict';

    function create() {
        var arrayListeners = [];
        return {
            add: function(functionListener) {
                arrayListeners.push(functionListener);
            },
            call: function() {
                arrayListeners.forEach(function(functionListener) {
                    functionListener();
                });
            }
        };
    }

    return {
        create: create
    };
}());
