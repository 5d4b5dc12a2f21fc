puts "before"
throw :nowhere
